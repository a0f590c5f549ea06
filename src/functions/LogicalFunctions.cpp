#include "functions/SpreadSheetFunctionRegistration.h"

#include "formulas/SpreadSheetFormulaResult.h"
#include "formulas/SpreadSheetFormulaTokens.h"
#include "model/SpreadSheetStrings.h"

namespace quorvel {

namespace {

// The Boolean a value counts as for AND and OR; false when the value does not take part.
// Empty values and text reached through references are skipped; other text must be TRUE or FALSE.
bool readLogical(const SpreadSheetEnumeratedValue& item, bool& value, SpreadSheetFormulaErrorCode& error)
{
    const SpreadSheetVariant& v = item.Value;
    if (item.ErrorCode != ecNone) {
        error = item.ErrorCode;
        return false;
    }
    switch (v.Type()) {
    case vtEmpty:
        return false;
    case vtNull:
        value = false;
        return item.CanConvertStrToNumber;
    case vtBoolean:
        value = v.Boolean();
        return true;
    case vtText:
        if (!item.CanConvertStrToNumber)
            return false;
        if (v.Text().compare(sTrue.Text(), Qt::CaseInsensitive) == 0)
            value = true;
        else if (v.Text().compare(sFalse.Text(), Qt::CaseInsensitive) == 0)
            value = false;
        else
            error = ecValue;
        return error == ecNone;
    default:
        value = v.AsDouble() != 0;
        return true;
    }
}

// AND and OR: `decisive` is the value that settles the outcome as soon as one argument has it.
void logicalAggregate(SpreadSheetFormulaResult& result, SpreadSheetFormulaToken* params, bool decisive)
{
    bool counted = false;
    bool settled = false;
    SpreadSheetFormulaErrorCode error = ecNone;
    const auto check = [&](const SpreadSheetEnumeratedValue& item) {
        bool value = false;
        if (readLogical(item, value, error)) {
            counted = true;
            settled = value == decisive;
        }
        return error == ecNone && !settled;
    };
    for (SpreadSheetFormulaToken* param = params; param && error == ecNone && !settled; param = param->Next())
        result.ForEach(param, check);
    if (error == ecNone && !counted)
        error = ecValue;
    if (error != ecNone)
        result.SetError(error);
    else
        result.AddValue(SpreadSheetVariant::FromBoolean(settled ? decisive : !decisive));
}

// AND(value1, ...): TRUE when no value is FALSE.
void fnAnd(SpreadSheetFormulaResult& result, SpreadSheetFormulaToken* params) { logicalAggregate(result, params, false); }

// OR(value1, ...): TRUE when some value is TRUE.
void fnOr(SpreadSheetFormulaResult& result, SpreadSheetFormulaToken* params) { logicalAggregate(result, params, true); }

// IF(condition, [then], [else]): the chosen argument as it is, so a reference stays a reference.
void fnIf(SpreadSheetFormulaResult& result, SpreadSheetFormulaToken* params)
{
    double condition = 0;
    if (!result.ExtractNumericParameter(condition, params, 0))
        return;
    const int branch = condition != 0 ? 1 : 2;
    if (!SpreadSheetFormulaResult::ParameterExists(params, branch))
        result.AddValue(SpreadSheetVariant::FromBoolean(branch == 1));
    else
        result.AddParameterValues(params, branch);
}

// NOT(value): TRUE for zero, FALSE otherwise.
void fnNot(SpreadSheetFormulaResult& result, SpreadSheetFormulaToken* params)
{
    double value = 0;
    if (result.ExtractNumericParameter(value, params, 0))
        result.AddValue(SpreadSheetVariant::FromBoolean(value == 0));
}

// Registration table of the Logical category: name, XLS number, parameters, flags
// (letters explained in SpreadSheetFunctionRegistration.h).
constexpr SpreadSheetFunctionRow kLogicalFunctions[] = {
    { "And", 36, "U", "", fnAnd },
    { "False", 35, "" },
    { "If", 1, "Vvv", "P", fnIf },
    { "IfError", kNoXls, "VV", "P" },
    { "IfNa", kNoXls, "VV", "P x" },
    { "Not", 38, "V", "", fnNot },
    { "Or", 37, "U", "", fnOr },
    { "True", 34, "" },
    { "Xor", kNoXls, "U", "x" },
};

} // namespace

void RegisterLogicalFunctions(SpreadSheetFunctionsRepository& repository)
{
    RegisterFunctions(repository, ftLogical, kLogicalFunctions);
}

} // namespace quorvel
