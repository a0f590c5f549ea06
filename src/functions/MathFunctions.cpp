#include "functions/SpreadSheetFunctionRegistration.h"

#include "formulas/SpreadSheetFormulaResult.h"
#include "formulas/SpreadSheetFormulaTokens.h"
#include "formulas/SpreadSheetFormulaValues.h"

#include <cmath>

namespace quorvel {

namespace {

// ABS(number): the magnitude.
void fnAbs(SpreadSheetFormulaResult& result, SpreadSheetFormulaToken* params)
{
    double number = 0;
    if (result.ExtractNumericParameter(number, params, 0))
        result.AddValue(std::abs(number));
}

// SUM(value1, ...): numbers of every argument. Cells and array items count only when they hold
// numbers; values written in the formula count as numbers when they read as one, and fail
// otherwise.
void fnSum(SpreadSheetFormulaResult& result, SpreadSheetFormulaToken* params)
{
    constexpr int kMaxArguments = 255;
    if (SpreadSheetFormulaResult::GetParamsCount(params) > kMaxArguments) {
        result.SetError(ecNA);
        return;
    }
    const SpreadSheetFormatSettings& settings = result.FormatSettings();
    double sum = 0;
    SpreadSheetFormulaErrorCode error = ecNone;
    const auto addValue = [&](const SpreadSheetEnumeratedValue& item) {
        const SpreadSheetVariant& value = item.Value;
        double number = 0;
        if (item.ErrorCode != ecNone)
            error = item.ErrorCode;
        else if (value.IsNumeric())
            sum += value.AsDouble();
        else if (value.IsEmptyOrNull() || !item.CanConvertStrToNumber)
            return true;
        else if (value.IsBoolean())
            sum += value.Boolean() ? 1 : 0;
        else if (TryFormulaTextToNumber(value.Text(), settings, number))
            sum += number;
        else
            error = ecValue;
        return error == ecNone;
    };
    for (SpreadSheetFormulaToken* param = params; param && error == ecNone; param = param->Next())
        result.ForEach(param, addValue);
    if (error != ecNone)
        result.SetError(error);
    else
        result.AddValue(sum);
}

// Registration table of the Math & Trig category: name, XLS number, parameters, flags
// (letters explained in SpreadSheetFunctionRegistration.h).
constexpr SpreadSheetFunctionRow kMathFunctions[] = {
    { "Abs", 24, "V", "", fnAbs },
    { "Acos", 99, "V" },
    { "Acosh", 233, "V" },
    { "Acot", kNoXls, "V", "x" },
    { "Acoth", kNoXls, "V", "x" },
    { "Asin", 98, "V" },
    { "Asinh", 232, "V" },
    { "Atan", 18, "V" },
    { "Atan2", 97, "VV" },
    { "Atanh", 234, "V" },
    { "Base", kNoXls, "VVv", "x" },
    { "Ceiling", 288, "VV" },
    { "Ceiling.Math", kNoXls, "Vvv", "x" },
    { "Ceiling.Precise", kNoXls, "Vv", "x" },
    { "Combin", 276, "VV" },
    { "CombinA", kNoXls, "VV", "x" },
    { "Cos", 16, "V" },
    { "Cosh", 230, "V" },
    { "Cot", kNoXls, "V", "x" },
    { "Coth", kNoXls, "V", "x" },
    { "Csc", kNoXls, "V", "x" },
    { "Csch", kNoXls, "V", "x" },
    { "Decimal", kNoXls, "VV", "x" },
    { "Degrees", 343, "V" },
    { "Even", 279, "V" },
    { "Exp", 21, "V" },
    { "Fact", 184, "V" },
    { "FactDouble", kNoXls, "V" },
    { "Floor", 285, "VV" },
    { "Floor.Math", kNoXls, "VVV", "x" },
    { "Floor.Precise", kNoXls, "Vv", "x" },
    { "Int", 25, "V" },
    { "Iso.Ceiling", kNoXls, "Vv" },
    { "Ln", 22, "V" },
    { "Log", 109, "V" },
    { "Log10", 23, "V" },
    { "MMult", 165, "AA", "A c" },
    { "Mod", 39, "VV" },
    { "MRound", kNoXls, "VV" },
    { "Odd", 298, "V" },
    { "Pi", 19, "" },
    { "Power", 337, "VV" },
    { "Product", 183, "U", "N" },
    { "Quotient", kNoXls, "VV" },
    { "Radians", 342, "V" },
    { "Rand", 63, "" },
    { "RandBetween", kNoXls, "VV" },
    { "Round", 27, "VV" },
    { "RoundDown", 213, "VV" },
    { "RoundUp", 212, "VV" },
    { "Sec", kNoXls, "V", "x" },
    { "Sech", kNoXls, "V", "x" },
    { "Sign", 26, "V" },
    { "Sin", 15, "V" },
    { "Sinh", 229, "V" },
    { "Sqrt", 20, "V" },
    { "SqrtPi", kNoXls, "V" },
    { "SubTotal", 344, "VU" },
    { "Sum", 4, "U", "N", fnSum },
    { "SumIf", 345, "AVa", "N c" },
    { "SumIfs", kNoXls, "AAVu", "N c" },
    { "SumProduct", 228, "U", "N" },
    { "SumSq", 321, "U", "N" },
    { "SumX2My2", 304, "AA", "N c" },
    { "SumX2Py2", 305, "AA", "N c" },
    { "SumXMy2", 303, "AA", "N c" },
    { "Tan", 17, "V" },
    { "Tanh", 231, "V" },
    { "Trunc", 197, "Vv" },
    { "Aggregate", kNoXls, kNameOnly, "x" },
    { "Arabic", kNoXls, kNameOnly },
    { "Gcd", kNoXls, kNameOnly },
    { "Lcm", kNoXls, kNameOnly },
    { "MDeterm", 163, kNameOnly },
    { "MInverse", 164, kNameOnly },
    { "Multinomial", kNoXls, kNameOnly },
    { "MUnit", kNoXls, kNameOnly, "x" },
    { "Roman", 354, kNameOnly },
    { "SeriesSum", kNoXls, kNameOnly },
};

} // namespace

void RegisterMathFunctions(SpreadSheetFunctionsRepository& repository)
{
    RegisterFunctions(repository, ftMath, kMathFunctions);
}

} // namespace quorvel
