#include "functions/SpreadSheetFunctionRegistration.h"

namespace quorvel {

namespace {

// Registration table of the Engineering category: name, XLS number, parameters, flags
// (letters explained in SpreadSheetFunctionRegistration.h).
constexpr SpreadSheetFunctionRow kEngineeringFunctions[] = {
    { "BesselI", kNoXls, kNameOnly },
    { "BesselJ", kNoXls, kNameOnly },
    { "BesselK", kNoXls, kNameOnly },
    { "BesselY", kNoXls, kNameOnly },
    { "Bin2Dec", kNoXls, kNameOnly },
    { "Bin2Hex", kNoXls, kNameOnly },
    { "Bin2Oct", kNoXls, kNameOnly },
    { "BitAnd", kNoXls, kNameOnly, "x" },
    { "BitLShift", kNoXls, kNameOnly, "x" },
    { "BitOr", kNoXls, kNameOnly, "x" },
    { "BitRShift", kNoXls, kNameOnly, "x" },
    { "BitXor", kNoXls, kNameOnly, "x" },
    { "Complex", kNoXls, kNameOnly },
    { "Convert", kNoXls, kNameOnly },
    { "Dec2Bin", kNoXls, kNameOnly },
    { "Dec2Hex", kNoXls, kNameOnly },
    { "Dec2Oct", kNoXls, kNameOnly },
    { "Delta", kNoXls, kNameOnly },
    { "Erf", kNoXls, kNameOnly },
    { "Erf.Precise", kNoXls, kNameOnly, "x" },
    { "Erfc", kNoXls, kNameOnly },
    { "Erfc.Precise", kNoXls, kNameOnly, "x" },
    { "GeStep", kNoXls, kNameOnly },
    { "Hex2Bin", kNoXls, kNameOnly },
    { "Hex2Dec", kNoXls, kNameOnly },
    { "Hex2Oct", kNoXls, kNameOnly },
    { "ImAbs", kNoXls, kNameOnly },
    { "Imaginary", kNoXls, kNameOnly },
    { "ImArgument", kNoXls, kNameOnly },
    { "ImConjugate", kNoXls, kNameOnly },
    { "ImCos", kNoXls, kNameOnly },
    { "ImCosh", kNoXls, kNameOnly, "x" },
    { "ImCot", kNoXls, kNameOnly, "x" },
    { "ImCsc", kNoXls, kNameOnly, "x" },
    { "ImCsch", kNoXls, kNameOnly, "x" },
    { "ImDiv", kNoXls, kNameOnly },
    { "ImExp", kNoXls, kNameOnly },
    { "ImLn", kNoXls, kNameOnly },
    { "ImLog10", kNoXls, kNameOnly },
    { "ImLog2", kNoXls, kNameOnly },
    { "ImPower", kNoXls, kNameOnly },
    { "ImProduct", kNoXls, kNameOnly },
    { "ImReal", kNoXls, kNameOnly },
    { "ImSec", kNoXls, kNameOnly, "x" },
    { "ImSech", kNoXls, kNameOnly, "x" },
    { "ImSin", kNoXls, kNameOnly },
    { "ImSinh", kNoXls, kNameOnly, "x" },
    { "ImSqrt", kNoXls, kNameOnly },
    { "ImSub", kNoXls, kNameOnly },
    { "ImSum", kNoXls, kNameOnly },
    { "ImTan", kNoXls, kNameOnly, "x" },
    { "Oct2Bin", kNoXls, kNameOnly },
    { "Oct2Dec", kNoXls, kNameOnly },
    { "Oct2Hex", kNoXls, kNameOnly },
};

} // namespace

void RegisterEngineeringFunctions(SpreadSheetFunctionsRepository& repository)
{
    RegisterFunctions(repository, ftEngineering, kEngineeringFunctions);
}

} // namespace quorvel
