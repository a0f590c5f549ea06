#include "functions/SpreadSheetFunctionRegistration.h"

namespace quorvel {

namespace {

// Registration table of the Compatibility category: name, XLS number, parameters, flags
// (letters explained in SpreadSheetFunctionRegistration.h).
constexpr SpreadSheetFunctionRow kCompatibilityFunctions[] = {
    { "BetaDist", 270, "VVVvv" },
    { "BetaInv", 272, "VVVvv" },
    { "BinomDist", 273, "VVVV" },
    { "ChiDist", 274, "VV" },
    { "ChiInv", 275, "VV" },
    { "Covar", 308, "AA", "N c" },
    { "ExponDist", 280, "VVV" },
    { "GammaDist", 286, "VVVV" },
    { "GammaInv", 287, "VVV" },
    { "HypGeomDist", 289, "VVVV" },
    { "NormDist", 293, "VVVV" },
    { "NormInv", 295, "VVV" },
    { "NormSDist", 294, "V" },
    { "NormSInv", 296, "V" },
    { "Percentile", 328, "AV", "c" },
    { "Poisson", 300, "VVV" },
    { "Quartile", 327, "AV", "c" },
    { "Rank", 216, "VVv" },
    { "StDev", 12, "U", "N" },
    { "StDevP", 193, "U", "N" },
    { "TDist", 301, "VVV" },
    { "TInv", 332, "VV" },
    { "Var", 46, "U", "N" },
    { "VarP", 194, "U", "N" },
    { "Weibull", 302, "VVVV" },
    { "ChiTest", 306, kNameOnly },
    { "CritBinom", 278, kNameOnly },
    { "FDist", 281, kNameOnly },
    { "FInv", 282, kNameOnly },
    { "FTest", 310, kNameOnly },
    { "LogInv", 291, kNameOnly },
    { "LogNormDist", 290, kNameOnly },
    { "Mode", 330, kNameOnly },
    { "NegBinomDist", 292, kNameOnly },
    { "PercentRank", 329, kNameOnly },
    { "TTest", 316, kNameOnly },
    { "ZTest", 324, kNameOnly },
};

} // namespace

void RegisterCompatibilityFunctions(SpreadSheetFunctionsRepository& repository)
{
    RegisterFunctions(repository, ftCompatibility, kCompatibilityFunctions);
}

} // namespace quorvel
