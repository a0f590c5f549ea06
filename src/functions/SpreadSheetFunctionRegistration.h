#pragma once

#include "functions/SpreadSheetFunctions.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace quorvel {

/// XLS number of functions that the XLS built-in function table does not contain.
inline constexpr std::uint16_t kNoXls = kNoXlsFunctionToken;
/// Parameter column of functions that are registered by name only: they parse, print and save,
/// and evaluate to "#NAME?".
inline constexpr const char* kNameOnly = nullptr;

/// One row of a category's registration table, checked while compiling.
///
/// `name` is the function name in mixed case ("SumIf"): the upper-case form is the name, and
/// "sfn" + the mixed form with "." as "_" is its resource key ("sfnSumIf", "sfnBeta_Dist").
/// `params` has one letter per declared parameter: V value, A array, U unlimited; lower case
/// marks an optional one; "" declares none. `flags`: A array result, N aggregate (non-array)
/// result, P returns one of its arguments, x written with "_xlfn." in files, c needs a worksheet.
struct SpreadSheetFunctionRow {
    consteval SpreadSheetFunctionRow(const char* name, std::uint16_t token, const char* params, const char* flags = "",
        SpreadSheetFunctionProc proc = nullptr)
        : name(name)
        , token(token)
        , params(params)
        , flags(flags)
        , proc(proc)
    {
        for (const char c : std::string_view(name)) {
            if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.'))
                throw "function names use letters, digits and dots";
        }
        if (params) {
            for (const char c : std::string_view(params)) {
                if (std::string_view("VAUvau").find(c) == std::string_view::npos)
                    throw "unknown parameter letter";
            }
        }
        int resultLetters = 0;
        for (const char c : std::string_view(flags)) {
            if (std::string_view("ANPxc ").find(c) == std::string_view::npos)
                throw "unknown flag letter";
            if (c == 'A' || c == 'N' || c == 'P')
                ++resultLetters;
            if (c == 'x' && token != kNoXlsFunctionToken)
                throw "functions written with _xlfn. have no XLS number";
            if (!params && c != 'x' && c != ' ')
                throw "functions registered by name only have no result kind and need no worksheet";
        }
        if (resultLetters > 1)
            throw "one result kind per function";
        if (proc && !params)
            throw "an implementation declares its parameters";
    }

    const char* name;
    std::uint16_t token;
    const char* params;
    const char* flags;
    SpreadSheetFunctionProc proc;
};

/// Registers a category's table; rows keep their order.
void RegisterFunctions(SpreadSheetFunctionsRepository& repository, SpreadSheetFunctionType type,
    std::span<const SpreadSheetFunctionRow> rows);

// One registration table per category, each at the end of its own source file.
void RegisterMathFunctions(SpreadSheetFunctionsRepository& repository);
void RegisterLogicalFunctions(SpreadSheetFunctionsRepository& repository);
void RegisterInformationFunctions(SpreadSheetFunctionsRepository& repository);
void RegisterLookupAndReferenceFunctions(SpreadSheetFunctionsRepository& repository);
void RegisterDateTimeFunctions(SpreadSheetFunctionsRepository& repository);
void RegisterTextFunctions(SpreadSheetFunctionsRepository& repository);
void RegisterStatisticalFunctions(SpreadSheetFunctionsRepository& repository);
void RegisterCompatibilityFunctions(SpreadSheetFunctionsRepository& repository);
void RegisterFinancialFunctions(SpreadSheetFunctionsRepository& repository);
void RegisterDatabaseFunctions(SpreadSheetFunctionsRepository& repository);
void RegisterCubeFunctions(SpreadSheetFunctionsRepository& repository);
void RegisterEngineeringFunctions(SpreadSheetFunctionsRepository& repository);

} // namespace quorvel
