// Placeholder definitions so that the tree links; the formula text output replaces this file.
#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaTokens.h"

namespace quorvel {

#define QUORVEL_PLACEHOLDER_TEXT(Class)                                                                               \
    void Class::BuildText(SpreadSheetFormulaTextStack& stack, const SpreadSheetFormatSettings&) const                 \
    {                                                                                                                 \
        stack.append(QString());                                                                                      \
    }

QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaNullToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaStringValueToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaTextValueToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaVariantToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaBooleanValueToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaIntegerValueToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaFloatValueToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaDateTimeValueToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaCurrencyValueToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaOperationToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaErrorValueToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaDefinedNameToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetListToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaArrayToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaArrayRowSeparator)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaReferenceToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaAreaReferenceToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormula3DReferenceToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormula3DAreaReferenceToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaFunctionToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaParenthesesToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaUnknownFunctionToken)
QUORVEL_PLACEHOLDER_TEXT(SpreadSheetFormulaUnknownNameToken)

void SpreadSheetCustomFormula::Validate() const { }

QString SpreadSheetCustomFormula::AsText() const { return sourceText_; }

} // namespace quorvel
