#include "functions/SpreadSheetFunctionRegistration.h"

#include "formulas/SpreadSheetFormulaResult.h"

namespace quorvel {

namespace {

// ISBLANK(value): TRUE for an empty cell.
void fnIsBlank(SpreadSheetFormulaResult& result, SpreadSheetFormulaToken* params)
{
    SpreadSheetVariant value;
    const SpreadSheetFormulaErrorCode error = result.ExtractErrorCode(params, 0, &value);
    result.AddValue(SpreadSheetVariant::FromBoolean(error == ecNone && value.IsEmpty()));
}

// ISERROR(value): TRUE for any error.
void fnIsError(SpreadSheetFormulaResult& result, SpreadSheetFormulaToken* params)
{
    result.AddValue(SpreadSheetVariant::FromBoolean(result.ExtractErrorCode(params) != ecNone));
}

// Registration table of the Information category: name, XLS number, parameters, flags
// (letters explained in SpreadSheetFunctionRegistration.h).
constexpr SpreadSheetFunctionRow kInformationFunctions[] = {
    { "IsBlank", 129, "V", "", fnIsBlank },
    { "IsErr", 126, "V" },
    { "IsError", 3, "V", "", fnIsError },
    { "IsEven", kNoXls, "V" },
    { "IsLogical", 198, "V" },
    { "IsNa", 2, "V" },
    { "IsNonText", 190, "V" },
    { "IsNumber", 128, "V" },
    { "IsOdd", kNoXls, "V" },
    { "IsRef", 105, "V" },
    { "IsText", 127, "V" },
    { "N", 131, "V" },
    { "Na", 10, "" },
    { "Cell", 125, kNameOnly },
    { "Error.Type", 261, kNameOnly },
    { "Info", 244, kNameOnly },
    { "IsFormula", kNoXls, kNameOnly },
    { "Sheet", kNoXls, kNameOnly, "x" },
    { "Sheets", kNoXls, kNameOnly, "x" },
    { "Type", 86, kNameOnly },
};

} // namespace

void RegisterInformationFunctions(SpreadSheetFunctionsRepository& repository)
{
    RegisterFunctions(repository, ftInformation, kInformationFunctions);
}

} // namespace quorvel
