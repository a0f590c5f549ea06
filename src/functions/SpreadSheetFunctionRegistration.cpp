#include "functions/SpreadSheetFunctionRegistration.h"

#include <algorithm>
#include <string>

namespace quorvel {

namespace {

SpreadSheetFunctionParamKind paramKind(char letter)
{
    switch (letter) {
    case 'V':
        return fpkValue;
    case 'A':
        return fpkArray;
    case 'U':
        return fpkUnlimited;
    case 'v':
        return fpkNonRequiredValue;
    case 'a':
        return fpkNonRequiredArray;
    default:
        return fpkNonRequiredUnlimited; // 'u'; the row constructor admits no other letter
    }
}

SpreadSheetFunctionResultKind resultKind(std::string_view flags)
{
    if (flags.find('A') != std::string_view::npos)
        return frkArray;
    if (flags.find('N') != std::string_view::npos)
        return frkNonArrayValue;
    if (flags.find('P') != std::string_view::npos)
        return frkParamValue;
    return frkValue;
}

} // namespace

void RegisterFunctions(SpreadSheetFunctionsRepository& repository, SpreadSheetFunctionType type,
    std::span<const SpreadSheetFunctionRow> rows)
{
    for (const SpreadSheetFunctionRow& row : rows) {
        const std::string_view flags(row.flags);
        std::string key = std::string("sfn") + row.name;
        std::replace(key.begin(), key.end(), '.', '_');
        std::string name(row.name);
        std::transform(name.begin(), name.end(), name.begin(), [](char c) {
            return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        });
        const std::string descriptionKey = key + "Description";

        SpreadSheetFunctionParamInfo paramInfo;
        if (row.params) {
            paramInfo.emplace();
            for (const char letter : std::string_view(row.params))
                paramInfo->push_back(paramKind(letter));
        }
        // The repository copies the texts, so the resources may point into these locals.
        repository.Add(ResourceString{ key.c_str(), name.c_str() }, row.proc,
            flags.find('c') == std::string_view::npos,
            flags.find('x') != std::string_view::npos ? kPrefixXlfn : kPrefixNone,
            ResourceString{ descriptionKey.c_str(), "" }, type, row.token, resultKind(flags), std::move(paramInfo));
    }
}

} // namespace quorvel
