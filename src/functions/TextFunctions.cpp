#include "functions/SpreadSheetFunctionRegistration.h"

namespace quorvel {

namespace {

// Registration table of the Text category: name, XLS number, parameters, flags
// (letters explained in SpreadSheetFunctionRegistration.h).
constexpr SpreadSheetFunctionRow kTextFunctions[] = {
    { "Char", 111, "V" },
    { "Clean", 162, "V" },
    { "Code", 121, "V" },
    { "Concatenate", 336, "U", "N" },
    { "Dollar", 13, "Vv" },
    { "Exact", 117, "VV" },
    { "Find", 124, "VVv" },
    { "Fixed", 14, "Vvv" },
    { "Left", 115, "Vv" },
    { "Len", 32, "V" },
    { "Lower", 112, "V" },
    { "Mid", 31, "VVV" },
    { "Proper", 114, "V" },
    { "Replace", 119, "VVVV" },
    { "Rept", 30, "VV" },
    { "Right", 116, "Vv" },
    { "Search", 82, "VVv" },
    { "Substitute", 120, "VVVv" },
    { "T", 130, "V" },
    { "Text", 48, "VV" },
    { "Trim", 118, "V" },
    { "Upper", 113, "V" },
    { "Value", 33, "V" },
    { "Asc", 214, kNameOnly },
    { "BahtText", 368, kNameOnly },
    { "Dbcs", 215, kNameOnly },
    { "FindB", 205, kNameOnly },
    { "LeftB", 208, kNameOnly },
    { "LenB", 211, kNameOnly },
    { "MidB", 210, kNameOnly },
    { "NumberValue", kNoXls, kNameOnly, "x" },
    { "Phonetic", 360, kNameOnly },
    { "ReplaceB", 207, kNameOnly },
    { "RightB", 209, kNameOnly },
    { "SearchB", 206, kNameOnly },
    { "Unichar", kNoXls, kNameOnly, "x" },
    { "Unicode", kNoXls, kNameOnly, "x" },
};

} // namespace

void RegisterTextFunctions(SpreadSheetFunctionsRepository& repository)
{
    RegisterFunctions(repository, ftText, kTextFunctions);
}

} // namespace quorvel
