#include "functions/SpreadSheetFunctionRegistration.h"

namespace quorvel {

namespace {

// Registration table of the Cube category: name, XLS number, parameters, flags
// (letters explained in SpreadSheetFunctionRegistration.h).
constexpr SpreadSheetFunctionRow kCubeFunctions[] = {
    { "CubeKpiMember", kNoXls, kNameOnly },
    { "CubeMember", kNoXls, kNameOnly },
    { "CubeMemberProperty", kNoXls, kNameOnly },
    { "CubeRankedMember", kNoXls, kNameOnly },
    { "CubeSet", kNoXls, kNameOnly },
    { "CubeSetCount", kNoXls, kNameOnly },
    { "CubeValue", kNoXls, kNameOnly },
};

} // namespace

void RegisterCubeFunctions(SpreadSheetFunctionsRepository& repository)
{
    RegisterFunctions(repository, ftCube, kCubeFunctions);
}

} // namespace quorvel
