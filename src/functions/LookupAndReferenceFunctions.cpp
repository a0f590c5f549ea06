#include "functions/SpreadSheetFunctionRegistration.h"

namespace quorvel {

namespace {

// Registration table of the Lookup & Reference category: name, XLS number, parameters, flags
// (letters explained in SpreadSheetFunctionRegistration.h).
constexpr SpreadSheetFunctionRow kLookupAndReferenceFunctions[] = {
    { "Address", 219, "VVvvv", "c" },
    { "Areas", 75, "A", "c" },
    { "Choose", 100, "VU", "P" },
    { "Column", 9, "v", "c" },
    { "Columns", 77, "A", "c" },
    { "FormulaText", kNoXls, "V", "x c" },
    { "HLookup", 101, "VAVv", "c" },
    { "Index", 29, "AVvv", "c" },
    { "Indirect", 148, "Vv", "c" },
    { "Lookup", 28, "VAa", "c" },
    { "Match", 64, "VAv", "c" },
    { "Offset", 78, "VVVvv", "A c" },
    { "Row", 8, "v", "c" },
    { "Rows", 76, "A", "c" },
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
