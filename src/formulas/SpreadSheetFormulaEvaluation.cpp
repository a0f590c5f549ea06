// Placeholder definitions so that the tree links; the formula evaluation replaces this file.
#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaResult.h"
#include "formulas/SpreadSheetFormulaTokens.h"

namespace quorvel {

class SpreadSheetVector {
public:
    virtual ~SpreadSheetVector() = default;
};

#define QUORVEL_PLACEHOLDER_CALCULATE(Class)                                                                          \
    void Class::Calculate(SpreadSheetFormulaResult& result) { result.SetError(ecValue); }
#define QUORVEL_PLACEHOLDER_VALUE(Class)                                                                              \
    void Class::GetValue(SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)                                \
    {                                                                                                                 \
        value = {};                                                                                                   \
        error = ecValue;                                                                                              \
    }

QUORVEL_PLACEHOLDER_CALCULATE(SpreadSheetFormulaToken)
QUORVEL_PLACEHOLDER_CALCULATE(SpreadSheetFormulaNullToken)
QUORVEL_PLACEHOLDER_CALCULATE(SpreadSheetFormulaStringValueToken)
QUORVEL_PLACEHOLDER_CALCULATE(SpreadSheetFormulaVariantToken)
QUORVEL_PLACEHOLDER_CALCULATE(SpreadSheetFormulaBooleanValueToken)
QUORVEL_PLACEHOLDER_CALCULATE(SpreadSheetFormulaNumericValueToken)
QUORVEL_PLACEHOLDER_CALCULATE(SpreadSheetFormulaOperationToken)
QUORVEL_PLACEHOLDER_CALCULATE(SpreadSheetFormulaErrorValueToken)
QUORVEL_PLACEHOLDER_CALCULATE(SpreadSheetFormulaDefinedNameToken)
QUORVEL_PLACEHOLDER_CALCULATE(SpreadSheetListToken)
QUORVEL_PLACEHOLDER_CALCULATE(SpreadSheetFormulaArrayToken)
QUORVEL_PLACEHOLDER_CALCULATE(SpreadSheetFormulaReferenceToken)
QUORVEL_PLACEHOLDER_CALCULATE(SpreadSheetFormulaFunctionToken)
QUORVEL_PLACEHOLDER_CALCULATE(SpreadSheetFormulaParenthesesToken)
QUORVEL_PLACEHOLDER_CALCULATE(SpreadSheetFormulaUnknownToken)

QUORVEL_PLACEHOLDER_VALUE(SpreadSheetFormulaToken)
QUORVEL_PLACEHOLDER_VALUE(SpreadSheetFormulaNullToken)
QUORVEL_PLACEHOLDER_VALUE(SpreadSheetFormulaStringValueToken)
QUORVEL_PLACEHOLDER_VALUE(SpreadSheetFormulaVariantToken)
QUORVEL_PLACEHOLDER_VALUE(SpreadSheetFormulaBooleanValueToken)
QUORVEL_PLACEHOLDER_VALUE(SpreadSheetFormulaIntegerValueToken)
QUORVEL_PLACEHOLDER_VALUE(SpreadSheetFormulaFloatValueToken)
QUORVEL_PLACEHOLDER_VALUE(SpreadSheetFormulaDateTimeValueToken)
QUORVEL_PLACEHOLDER_VALUE(SpreadSheetFormulaCurrencyValueToken)
QUORVEL_PLACEHOLDER_VALUE(SpreadSheetFormulaErrorValueToken)
QUORVEL_PLACEHOLDER_VALUE(SpreadSheetFormulaReferenceToken)

void SpreadSheetFormulaToken::GetValueRelatedWithCell(
    int, int, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    GetValue(value, error);
}
void SpreadSheetFormulaReferenceToken::GetValueRelatedWithCell(
    int, int, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    GetValue(value, error);
}
void SpreadSheetFormulaToken::GetValueAsArrayItem(int, int, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    GetValue(value, error);
}
void SpreadSheetFormulaArrayToken::GetValueAsArrayItem(
    int, int, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    GetValue(value, error);
}
void SpreadSheetFormulaReferenceToken::GetValueAsArrayItem(
    int, int, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    GetValue(value, error);
}
SpreadSheetFormulaTokenDimension SpreadSheetFormulaToken::GetDimension(SpreadSheetFormulaErrorCode&) { return {}; }
SpreadSheetFormulaTokenDimension SpreadSheetFormulaArrayToken::GetDimension(SpreadSheetFormulaErrorCode&) { return {}; }
SpreadSheetFormulaTokenDimension SpreadSheetFormulaReferenceToken::GetDimension(SpreadSheetFormulaErrorCode&)
{
    return {};
}
SpreadSheetFormulaTokenDimension SpreadSheetFormulaFunctionToken::GetDimension(SpreadSheetFormulaErrorCode&)
{
    return {};
}
std::unique_ptr<SpreadSheetVector> SpreadSheetFormulaToken::ExtractColumn(int, SpreadSheetFormulaErrorCode&)
{
    return nullptr;
}
std::unique_ptr<SpreadSheetVector> SpreadSheetFormulaToken::ExtractRow(int, SpreadSheetFormulaErrorCode&)
{
    return nullptr;
}
std::unique_ptr<SpreadSheetVector> SpreadSheetFormulaReferenceToken::ExtractColumn(int, SpreadSheetFormulaErrorCode&)
{
    return nullptr;
}
std::unique_ptr<SpreadSheetVector> SpreadSheetFormulaReferenceToken::ExtractRow(int, SpreadSheetFormulaErrorCode&)
{
    return nullptr;
}
bool SpreadSheetFormulaReferenceToken::IsEnumeration() const { return false; }
bool SpreadSheetFormulaFunctionToken::IsEnumeration() const { return false; }

void SpreadSheetCustomFormula::Evaluate(SpreadSheetFormulaResult& result) { result.SetError(ecValue); }

} // namespace quorvel
