#include "functions/SpreadSheetFunctionRegistration.h"

#include "formulas/SpreadSheetFormulaResult.h"
#include "formulas/SpreadSheetFormulaTokens.h"

namespace quorvel {

namespace {

// COLUMNS(array): the number of columns of a range or an array.
void fnColumns(SpreadSheetFormulaResult& result, SpreadSheetFormulaToken* params)
{
    SpreadSheetFormulaTokenDimension dimension;
    if (result.ExtractParameterDimension(dimension, params, 0))
        result.AddValue(dimension.ColumnCount);
}

// ROWS(array): the number of rows of a range or an array.
void fnRows(SpreadSheetFormulaResult& result, SpreadSheetFormulaToken* params)
{
    SpreadSheetFormulaTokenDimension dimension;
    if (result.ExtractParameterDimension(dimension, params, 0))
        result.AddValue(dimension.RowCount);
}

// Registration table of the Lookup & Reference category: name, XLS number, parameters, flags
// (letters explained in SpreadSheetFunctionRegistration.h).
constexpr SpreadSheetFunctionRow kLookupAndReferenceFunctions[] = {
    { "Address", 219, "VVvvv", "c" },
    { "Areas", 75, "A", "c" },
    { "Choose", 100, "VU", "P" },
    { "Column", 9, "v", "c" },
    { "Columns", 77, "A", "c", fnColumns },
    { "FormulaText", kNoXls, "V", "x c" },
    { "HLookup", 101, "VAVv", "c" },
    { "Index", 29, "AVvv", "c" },
    { "Indirect", 148, "Vv", "c" },
    { "Lookup", 28, "VAa", "c" },
    { "Match", 64, "VAv", "c" },
    { "Offset", 78, "VVVvv", "A c" },
    { "Row", 8, "v", "c" },
    { "Rows", 76, "A", "c", fnRows },
    { "Transpose", 83, "A", "A c" },
    { "VLookup", 102, "VAVv", "c" },
    { "GetPivotData", 358, kNameOnly },
    { "Hyperlink", 359, kNameOnly },
    { "Rtd", 379, kNameOnly },
};

} // namespace

void RegisterLookupAndReferenceFunctions(SpreadSheetFunctionsRepository& repository)
{
    RegisterFunctions(repository, ftLookupAndReference, kLookupAndReferenceFunctions);
}

} // namespace quorvel
