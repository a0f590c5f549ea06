#include "functions/SpreadSheetFunctionRegistration.h"

namespace quorvel {

namespace {

// Registration table of the Date & Time category: name, XLS number, parameters, flags
// (letters explained in SpreadSheetFunctionRegistration.h).
constexpr SpreadSheetFunctionRow kDateTimeFunctions[] = {
    { "Date", 65, "VVV" },
    { "DateValue", 140, "V" },
    { "Day", 67, "V" },
    { "Days", kNoXls, "VV", "x" },
    { "Days360", 220, "VVv" },
    { "EDate", kNoXls, "VV" },
    { "EOMonth", kNoXls, "VV" },
    { "Hour", 71, "V" },
    { "IsoWeekNum", kNoXls, "V", "x" },
    { "Minute", 72, "V" },
    { "Month", 68, "V" },
    { "NetworkDays", kNoXls, "VVa" },
    { "NetworkDays.Intl", kNoXls, "VVva" },
    { "Now", 74, "" },
    { "Second", 73, "V" },
    { "Time", 66, "VVV" },
    { "TimeValue", 141, "V" },
    { "Today", 221, "" },
    { "WeekDay", 70, "Vv" },
    { "WeekNum", kNoXls, "Vv" },
    { "WorkDay", kNoXls, "VVa" },
    { "WorkDay.Intl", kNoXls, "VVva" },
    { "Year", 69, "V" },
    { "YearFrac", kNoXls, "VVv" },
};

} // namespace

void RegisterDateTimeFunctions(SpreadSheetFunctionsRepository& repository)
{
    RegisterFunctions(repository, ftDateTime, kDateTimeFunctions);
}

} // namespace quorvel
