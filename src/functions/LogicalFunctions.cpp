#include "functions/SpreadSheetFunctionRegistration.h"

namespace quorvel {

namespace {

// Registration table of the Logical category: name, XLS number, parameters, flags
// (letters explained in SpreadSheetFunctionRegistration.h).
constexpr SpreadSheetFunctionRow kLogicalFunctions[] = {
    { "And", 36, "U" },
    { "False", 35, "" },
    { "If", 1, "Vvv", "P" },
    { "IfError", kNoXls, "VV", "P" },
    { "IfNa", kNoXls, "VV", "P x" },
    { "Not", 38, "V" },
    { "Or", 37, "U" },
    { "True", 34, "" },
    { "Xor", kNoXls, "U", "x" },
};

} // namespace

void RegisterLogicalFunctions(SpreadSheetFunctionsRepository& repository)
{
    RegisterFunctions(repository, ftLogical, kLogicalFunctions);
}

} // namespace quorvel
