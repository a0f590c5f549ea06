#pragma once

#include "resources/ResourceString.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCollator;

namespace quorvel {

class SpreadSheetFormatSettings;
class SpreadSheetFormulaResult;
class SpreadSheetFormulaToken;

enum class SpreadSheetFunctionType : std::uint8_t {
    ftCommon = 0,
    ftCompatibility = 1,
    ftDateTime = 2,
    ftMath = 3,
    ftFinancial = 4,
    ftInformation = 5,
    ftLookupAndReference = 6,
    ftLogical = 7,
    ftStatistical = 8,
    ftText = 9,
    ftCube = 10,
    ftDatabase = 11,
    ftEngineering = 12,
};
using enum SpreadSheetFunctionType;
inline constexpr int kFunctionTypeCount = 13;

enum class SpreadSheetFunctionParamKind : std::uint8_t {
    fpkValue,
    fpkArray,
    fpkUnlimited,
    fpkNonRequiredValue,
    fpkNonRequiredArray,
    fpkNonRequiredUnlimited,
};
using enum SpreadSheetFunctionParamKind;

enum class SpreadSheetFunctionResultKind : std::uint8_t {
    frkValue,         // a scalar; the evaluator may lift the call over arrays
    frkArray,         // an array; the call token is an enumeration
    frkNonArrayValue, // an aggregate over ranges and arrays giving a scalar; never lifted
    frkParamValue,    // one of its arguments unchanged (IF, CHOOSE); never lifted
};
using enum SpreadSheetFunctionResultKind;

/// The declared parameter kinds of a function. Absent (std::nullopt) for functions that are only
/// registered by name; present and empty for functions that take no arguments (PI, NOW).
using SpreadSheetFunctionParamInfo = std::optional<std::vector<SpreadSheetFunctionParamKind>>;

/// Implementation of a worksheet function: reads its arguments, starting at the first argument
/// holder `params`, through the parameter access of `result`, then pushes its value onto
/// `result` or sets an error there.
using SpreadSheetFunctionProc = void (*)(SpreadSheetFormulaResult& result, SpreadSheetFormulaToken* params);

inline constexpr std::uint16_t kNoXlsFunctionToken = 255;
inline constexpr std::uint8_t kPrefixNone = 0;
inline constexpr std::uint8_t kPrefixXlfn = 1;

inline constexpr ResourceString sfnParamValue{ "sfnParamValue", "value" };
inline constexpr ResourceString sfnParamArray{ "sfnParamArray", "array" };

inline constexpr ResourceString sfnCategoryCommon{ "sfnCategoryCommon", "Common" };
inline constexpr ResourceString sfnCategoryCompatibility{ "sfnCategoryCompatibility", "Compatibility" };
inline constexpr ResourceString sfnCategoryDateTime{ "sfnCategoryDateTime", "Date & Time" };
inline constexpr ResourceString sfnCategoryMath{ "sfnCategoryMath", "Math & Trig" };
inline constexpr ResourceString sfnCategoryFinancial{ "sfnCategoryFinancial", "Financial" };
inline constexpr ResourceString sfnCategoryInformation{ "sfnCategoryInformation", "Information" };
inline constexpr ResourceString sfnCategoryLookupAndReference{ "sfnCategoryLookupAndReference",
    "Lookup & Reference" };
inline constexpr ResourceString sfnCategoryLogical{ "sfnCategoryLogical", "Logical" };
inline constexpr ResourceString sfnCategoryStatistical{ "sfnCategoryStatistical", "Statistical" };
inline constexpr ResourceString sfnCategoryText{ "sfnCategoryText", "Text" };
inline constexpr ResourceString sfnCategoryCube{ "sfnCategoryCube", "Cube" };
inline constexpr ResourceString sfnCategoryDatabase{ "sfnCategoryDatabase", "Database" };
inline constexpr ResourceString sfnCategoryEngineering{ "sfnCategoryEngineering", "Engineering" };

/// The localizable text of a category.
const ResourceString& FunctionTypeResource(SpreadSheetFunctionType type);

/// One entry of the function registry.
class SpreadSheetFunctionInfo {
public:
    /// The name resource; absent for names met in files that the registry does not know.
    std::optional<ResourceString> NamePtr() const;
    /// The name used for lookup and display: the localized name in upper case.
    const QString& Name() const { return name_; }
    std::optional<ResourceString> DescriptionPtr() const;
    std::uint8_t PrefixID() const { return prefixId_; }
    SpreadSheetFunctionProc Proc() const { return proc_; }
    const SpreadSheetFunctionParamInfo& ParamInfo() const { return paramInfo_; }
    SpreadSheetFunctionResultKind ResultKind() const { return resultKind_; }
    /// The function's number in the XLS built-in function table; 255 when it has none.
    std::uint16_t Token() const { return token_; }
    SpreadSheetFunctionType TypeID() const { return typeId_; }
    /// False for functions that need a worksheet (references, ranges, criteria).
    bool AvailableInContainerControls() const { return availableInContainerControls_; }

    bool IsValid() const { return proc_ != nullptr; }
    /// "_xlfn." for functions that files newer than the XLS format write with that prefix.
    QString GetPrefix() const;
    /// The signature shown to users, e.g. "IF(value1, [value2], [value3])".
    QString ToString() const;
    /// Takes the name again from the active translation.
    void UpdateInfo();

private:
    friend class SpreadSheetFunctionsRepository;

    void SetName(QString name);

    std::string nameKey_; // empty when the entry has no name resource
    std::string nameDefault_;
    std::string descriptionKey_;
    std::string descriptionDefault_;
    QString name_;
    // Lookups fold case before collating: a locale's own case rules (Turkish dotted and dotless
    // i) must not hide the English function names.
    QString foldedName_;
    std::uint8_t prefixId_ = kPrefixNone;
    SpreadSheetFunctionProc proc_ = nullptr;
    SpreadSheetFunctionParamInfo paramInfo_;
    SpreadSheetFunctionResultKind resultKind_ = frkValue;
    std::uint16_t token_ = kNoXlsFunctionToken;
    SpreadSheetFunctionType typeId_ = ftCommon;
    bool availableInContainerControls_ = true;
};

/// The process-wide table of worksheet functions. Lookups by name keep it sorted by name with the
/// user locale's case-insensitive collation; it is used from the UI thread only.
class SpreadSheetFunctionsRepository {
public:
    /// An empty repository; the program uses Instance().
    SpreadSheetFunctionsRepository();
    ~SpreadSheetFunctionsRepository();
    SpreadSheetFunctionsRepository(const SpreadSheetFunctionsRepository&) = delete;
    SpreadSheetFunctionsRepository& operator=(const SpreadSheetFunctionsRepository&) = delete;

    /// The registry of the program, holding every built-in function; built on first use.
    static SpreadSheetFunctionsRepository& Instance();

    /// Registers every function group of the program.
    void RegisterBuiltInFunctions();

    /// Registers a function, or redefines the entry of that name (which keeps its XLS number).
    SpreadSheetFunctionInfo& Add(const ResourceString& name, SpreadSheetFunctionProc proc,
        bool availableInContainerControls, std::uint8_t prefixId, const ResourceString& description,
        SpreadSheetFunctionType type, std::uint16_t token, SpreadSheetFunctionResultKind resultKind,
        SpreadSheetFunctionParamInfo paramInfo);
    /// Registers a name met in a file that the registry does not know.
    SpreadSheetFunctionInfo& AddUnknown(const QString& name, SpreadSheetFunctionType type);
    void Remove(const QString& name);

    /// Finds a function by name, case-insensitively; a leading "_xlfn." is ignored.
    SpreadSheetFunctionInfo* GetInfoByName(QStringView name);
    /// As above over the first `length` characters of `name` (the parser passes an identifier
    /// inside the formula text).
    SpreadSheetFunctionInfo* GetInfoByName(QStringView name, qsizetype length);
    /// The first entry with this XLS number; callers must not ask for 255 (no number).
    SpreadSheetFunctionInfo* GetInfoByID(int id) const;

    qsizetype Count() const { return static_cast<qsizetype>(items_.size()); }
    SpreadSheetFunctionInfo& GetItem(qsizetype index) const { return *items_[static_cast<std::size_t>(index)]; }
    /// True if some implemented function of this category exists.
    bool HasFunctions(SpreadSheetFunctionType type) const;

    /// Refreshes every name from the active translation and sorts again.
    void TranslationChanged(const SpreadSheetFormatSettings& settings);

private:
    void Sort();
    qsizetype IndexOf(QStringView name);

    std::vector<std::unique_ptr<SpreadSheetFunctionInfo>> items_;
    std::unique_ptr<QCollator> collator_;
    bool sorted_ = false;
};

} // namespace quorvel
