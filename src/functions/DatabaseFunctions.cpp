#include "functions/SpreadSheetFunctionRegistration.h"

namespace quorvel {

namespace {

// Registration table of the Database category: name, XLS number, parameters, flags
// (letters explained in SpreadSheetFunctionRegistration.h).
constexpr SpreadSheetFunctionRow kDatabaseFunctions[] = {
    { "DAverage", 42, kNameOnly },
    { "DCount", 40, kNameOnly },
    { "DCountA", 199, kNameOnly },
    { "DGet", 235, kNameOnly },
    { "DMax", 44, kNameOnly },
    { "DMin", 43, kNameOnly },
    { "DProduct", 189, kNameOnly },
    { "DStDev", 45, kNameOnly },
    { "DStDevP", 195, kNameOnly },
    { "DSum", 41, kNameOnly },
    { "DVar", 47, kNameOnly },
    { "DVarP", 196, kNameOnly },
};

} // namespace

void RegisterDatabaseFunctions(SpreadSheetFunctionsRepository& repository)
{
    RegisterFunctions(repository, ftDatabase, kDatabaseFunctions);
}

} // namespace quorvel
