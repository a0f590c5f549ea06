#include "functions/SpreadSheetFunctions.h"

#include "functions/SpreadSheetFunctionRegistration.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

namespace quorvel {

namespace {

constexpr QStringView kXlfnPrefix = u"_xlfn.";

bool isArrayKind(SpreadSheetFunctionParamKind kind) { return kind == fpkArray || kind == fpkNonRequiredArray; }

bool isOptionalKind(SpreadSheetFunctionParamKind kind)
{
    return kind == fpkNonRequiredValue || kind == fpkNonRequiredArray || kind == fpkNonRequiredUnlimited;
}

bool isUnlimitedKind(SpreadSheetFunctionParamKind kind)
{
    return kind == fpkUnlimited || kind == fpkNonRequiredUnlimited;
}

} // namespace

const ResourceString& FunctionTypeResource(SpreadSheetFunctionType type)
{
    static constexpr const ResourceString* kTexts[kFunctionTypeCount] = {
        &sfnCategoryCommon,
        &sfnCategoryCompatibility,
        &sfnCategoryDateTime,
        &sfnCategoryMath,
        &sfnCategoryFinancial,
        &sfnCategoryInformation,
        &sfnCategoryLookupAndReference,
        &sfnCategoryLogical,
        &sfnCategoryStatistical,
        &sfnCategoryText,
        &sfnCategoryCube,
        &sfnCategoryDatabase,
        &sfnCategoryEngineering,
    };
    return *kTexts[static_cast<int>(type)];
}

std::optional<ResourceString> SpreadSheetFunctionInfo::NamePtr() const
{
    if (nameKey_.empty())
        return std::nullopt;
    return ResourceString{ nameKey_.c_str(), nameDefault_.c_str() };
}

std::optional<ResourceString> SpreadSheetFunctionInfo::DescriptionPtr() const
{
    if (descriptionKey_.empty())
        return std::nullopt;
    return ResourceString{ descriptionKey_.c_str(), descriptionDefault_.c_str() };
}

QString SpreadSheetFunctionInfo::GetPrefix() const
{
    return prefixId_ == kPrefixXlfn ? kXlfnPrefix.toString() : QString();
}

QString SpreadSheetFunctionInfo::ToString() const
{
    if (!paramInfo_)
        return name_ + QStringLiteral("(?)");
    const QString valueWord = sfnParamValue.Text();
    const QString arrayWord = sfnParamArray.Text();
    QString text = name_ + QChar(u'(');
    for (std::size_t i = 0; i < paramInfo_->size(); ++i) {
        const SpreadSheetFunctionParamKind kind = (*paramInfo_)[i];
        if (i > 0)
            text += QStringLiteral(", ");
        const QString item = (isArrayKind(kind) ? arrayWord : valueWord) + QString::number(i + 1);
        text += isOptionalKind(kind) ? QChar(u'[') + item + QChar(u']') : item;
        if (isUnlimitedKind(kind))
            text += QStringLiteral(", ...");
    }
    return text + QChar(u')');
}

void SpreadSheetFunctionInfo::UpdateInfo()
{
    if (const auto name = NamePtr())
        SetName(name->Text().toUpper());
}

void SpreadSheetFunctionInfo::SetName(QString name)
{
    name_ = std::move(name);
    foldedName_ = name_.toCaseFolded();
}

SpreadSheetFunctionsRepository::SpreadSheetFunctionsRepository()
    : collator_(std::make_unique<QCollator>(QLocale()))
{
    collator_->setCaseSensitivity(Qt::CaseInsensitive);
}

SpreadSheetFunctionsRepository::~SpreadSheetFunctionsRepository() = default;

SpreadSheetFunctionsRepository& SpreadSheetFunctionsRepository::Instance()
{
    // Built by the first caller (thread-safe), so no unit depends on the order of static
    // initialisation; destroyed at exit.
    static const std::unique_ptr<SpreadSheetFunctionsRepository> instance = [] {
        auto repository = std::make_unique<SpreadSheetFunctionsRepository>();
        repository->RegisterBuiltInFunctions();
        return repository;
    }();
    return *instance;
}

void SpreadSheetFunctionsRepository::RegisterBuiltInFunctions()
{
    RegisterMathFunctions(*this);
    RegisterLogicalFunctions(*this);
    RegisterInformationFunctions(*this);
    RegisterLookupAndReferenceFunctions(*this);
    RegisterDateTimeFunctions(*this);
    RegisterTextFunctions(*this);
    RegisterStatisticalFunctions(*this);
    RegisterCompatibilityFunctions(*this);
    RegisterFinancialFunctions(*this);
    RegisterDatabaseFunctions(*this);
    RegisterCubeFunctions(*this);
    RegisterEngineeringFunctions(*this);
    Sort();
}

SpreadSheetFunctionInfo& SpreadSheetFunctionsRepository::Add(const ResourceString& name, SpreadSheetFunctionProc proc,
    bool availableInContainerControls, std::uint8_t prefixId, const ResourceString& description,
    SpreadSheetFunctionType type, std::uint16_t token, SpreadSheetFunctionResultKind resultKind,
    SpreadSheetFunctionParamInfo paramInfo)
{
    // A plain scan: registration adds hundreds of names in a row, and sorting for each of them
    // would cost more than the scan.
    const QString upperName = name.Text().toUpper();
    const auto existing = std::find_if(
        items_.begin(), items_.end(), [&](const auto& item) { return item->name_ == upperName; });
    SpreadSheetFunctionInfo* info = nullptr;
    if (existing != items_.end()) {
        info = existing->get();
    } else {
        info = items_.emplace_back(std::make_unique<SpreadSheetFunctionInfo>()).get();
        info->token_ = token;
    }
    info->nameKey_ = name.key;
    info->nameDefault_ = name.defaultText;
    info->descriptionKey_ = description.key;
    info->descriptionDefault_ = description.defaultText;
    info->proc_ = proc;
    info->availableInContainerControls_ = availableInContainerControls;
    info->prefixId_ = prefixId;
    info->typeId_ = type;
    info->resultKind_ = resultKind;
    info->paramInfo_ = std::move(paramInfo);
    info->UpdateInfo();
    sorted_ = false;
    return *info;
}

SpreadSheetFunctionInfo& SpreadSheetFunctionsRepository::AddUnknown(const QString& name, SpreadSheetFunctionType type)
{
    auto& info = *items_.emplace_back(std::make_unique<SpreadSheetFunctionInfo>());
    info.SetName(name);
    info.typeId_ = type;
    sorted_ = false;
    return info;
}

void SpreadSheetFunctionsRepository::Remove(const QString& name)
{
    const qsizetype index = IndexOf(name);
    if (index >= 0)
        items_.erase(items_.begin() + index);
}

SpreadSheetFunctionInfo* SpreadSheetFunctionsRepository::GetInfoByName(QStringView name)
{
    return GetInfoByName(name, name.size());
}

SpreadSheetFunctionInfo* SpreadSheetFunctionsRepository::GetInfoByName(QStringView name, qsizetype length)
{
    name = name.left(std::max<qsizetype>(0, length));
    // Files written by newer programs prefix the functions that the XLS format does not know.
    if (name.size() > kXlfnPrefix.size() && name.startsWith(kXlfnPrefix, Qt::CaseInsensitive))
        name = name.mid(kXlfnPrefix.size());
    const qsizetype index = IndexOf(name);
    return index >= 0 ? items_[static_cast<std::size_t>(index)].get() : nullptr;
}

SpreadSheetFunctionInfo* SpreadSheetFunctionsRepository::GetInfoByID(int id) const
{
    const auto found
        = std::find_if(items_.begin(), items_.end(), [id](const auto& item) { return item->token_ == id; });
    return found != items_.end() ? found->get() : nullptr;
}

bool SpreadSheetFunctionsRepository::HasFunctions(SpreadSheetFunctionType type) const
{
    return std::any_of(
        items_.begin(), items_.end(), [type](const auto& item) { return item->typeId_ == type && item->IsValid(); });
}

void SpreadSheetFunctionsRepository::TranslationChanged(const SpreadSheetFormatSettings& /*settings*/)
{
    // A function's localized name does not depend on the separators or the locale record of the
    // settings: it is the active translation's text of its name resource, in upper case.
    sorted_ = false;
    for (const auto& item : items_)
        item->UpdateInfo();
    Sort();
}

void SpreadSheetFunctionsRepository::Sort()
{
    std::stable_sort(items_.begin(), items_.end(),
        [this](const auto& a, const auto& b) { return collator_->compare(a->foldedName_, b->foldedName_) < 0; });
    sorted_ = true;
}

qsizetype SpreadSheetFunctionsRepository::IndexOf(QStringView name)
{
    if (!sorted_)
        Sort();
    const QString key = name.toString().toCaseFolded();
    const auto found = std::lower_bound(items_.begin(), items_.end(), key,
        [this](const auto& item, const QString& key) { return collator_->compare(item->foldedName_, key) < 0; });
    if (found == items_.end() || collator_->compare((*found)->foldedName_, key) != 0)
        return -1;
    return found - items_.begin();
}

} // namespace quorvel
