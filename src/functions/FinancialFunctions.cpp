#include "functions/SpreadSheetFunctionRegistration.h"

namespace quorvel {

namespace {

// Registration table of the Financial category: name, XLS number, parameters, flags
// (letters explained in SpreadSheetFunctionRegistration.h).
constexpr SpreadSheetFunctionRow kFinancialFunctions[] = {
    { "Fv", 57, "VVVvv" },
    { "IPmt", 167, "VVVVvv" },
    { "NPer", 58, "VVVvv" },
    { "Npv", 11, "VU" },
    { "Pmt", 59, "VVVvv" },
    { "PPmt", 168, "VVVVvv" },
    { "Pv", 56, "VVVvv" },
    { "AccrInt", kNoXls, kNameOnly },
    { "AccrIntM", kNoXls, kNameOnly },
    { "AmorDegrc", kNoXls, kNameOnly },
    { "AmorLinc", kNoXls, kNameOnly },
    { "CoupDayBs", kNoXls, kNameOnly },
    { "CoupDays", kNoXls, kNameOnly },
    { "CoupDaysNc", kNoXls, kNameOnly },
    { "CoupNcd", kNoXls, kNameOnly },
    { "CoupNum", kNoXls, kNameOnly },
    { "CoupPcd", kNoXls, kNameOnly },
    { "CumIPmt", kNoXls, kNameOnly },
    { "CumPrinc", kNoXls, kNameOnly },
    { "Db", 247, kNameOnly },
    { "Ddb", 144, kNameOnly },
    { "Disc", kNoXls, kNameOnly },
    { "DollarDe", kNoXls, kNameOnly },
    { "DollarFr", kNoXls, kNameOnly },
    { "Duration", kNoXls, kNameOnly },
    { "Effect", kNoXls, kNameOnly },
    { "FvSchedule", kNoXls, kNameOnly },
    { "IntRate", kNoXls, kNameOnly },
    { "Irr", 62, kNameOnly },
    { "IsPmt", 350, kNameOnly },
    { "MDuration", kNoXls, kNameOnly },
    { "Mirr", 61, kNameOnly },
    { "Nominal", kNoXls, kNameOnly },
    { "OddFPrice", kNoXls, kNameOnly },
    { "OddFYield", kNoXls, kNameOnly },
    { "OddLPrice", kNoXls, kNameOnly },
    { "OddLYield", kNoXls, kNameOnly },
    { "PDuration", kNoXls, kNameOnly, "x" },
    { "Price", kNoXls, kNameOnly },
    { "PriceDisc", kNoXls, kNameOnly },
    { "PriceMat", kNoXls, kNameOnly },
    { "Rate", 60, kNameOnly },
    { "Received", kNoXls, kNameOnly },
    { "Rri", kNoXls, kNameOnly, "x" },
    { "Sln", 142, kNameOnly },
    { "Syd", 143, kNameOnly },
    { "TBillEq", kNoXls, kNameOnly },
    { "TBillPrice", kNoXls, kNameOnly },
    { "TBillYield", kNoXls, kNameOnly },
    { "Vdb", 222, kNameOnly },
    { "XIrr", kNoXls, kNameOnly },
    { "XNpv", kNoXls, kNameOnly },
    { "Yield", kNoXls, kNameOnly },
    { "YieldDisc", kNoXls, kNameOnly },
    { "YieldMat", kNoXls, kNameOnly },
};

} // namespace

void RegisterFinancialFunctions(SpreadSheetFunctionsRepository& repository)
{
    RegisterFunctions(repository, ftFinancial, kFinancialFunctions);
}

} // namespace quorvel
