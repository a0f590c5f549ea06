#include "model/SpreadSheetCoreStyles.h"

#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetStyleStrings.h"
#include "platform/LocaleData.h"

#include <type_traits>

namespace quorvel {

namespace {

// Bob Jenkins' lookup3 "hashlittle", reading bytes one by one so that it is independent of
// alignment and byte order.
inline std::uint32_t rot(std::uint32_t x, int k) { return (x << k) | (x >> (32 - k)); }

inline void mix(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c)
{
    a -= c;
    a ^= rot(c, 4);
    c += b;
    b -= a;
    b ^= rot(a, 6);
    a += c;
    c -= b;
    c ^= rot(b, 8);
    b += a;
    a -= c;
    a ^= rot(c, 16);
    c += b;
    b -= a;
    b ^= rot(a, 19);
    a += c;
    c -= b;
    c ^= rot(b, 4);
    b += a;
}

inline void finalMix(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c)
{
    c ^= b;
    c -= rot(b, 14);
    a ^= c;
    a -= rot(c, 11);
    b ^= a;
    b -= rot(a, 25);
    c ^= b;
    c -= rot(b, 16);
    a ^= c;
    a -= rot(c, 4);
    b ^= a;
    b -= rot(a, 14);
    c ^= b;
    c -= rot(b, 24);
}

inline std::uint32_t word(const std::uint8_t* k)
{
    return k[0] | (std::uint32_t(k[1]) << 8) | (std::uint32_t(k[2]) << 16) | (std::uint32_t(k[3]) << 24);
}

std::uint32_t hashLittle(const void* key, std::size_t length, std::uint32_t initval)
{
    std::uint32_t a = 0xdeadbeef + static_cast<std::uint32_t>(length) + initval;
    std::uint32_t b = a;
    std::uint32_t c = a;
    const auto* k = static_cast<const std::uint8_t*>(key);
    while (length > 12) {
        a += word(k);
        b += word(k + 4);
        c += word(k + 8);
        mix(a, b, c);
        length -= 12;
        k += 12;
    }
    switch (length) {
    case 12: c += std::uint32_t(k[11]) << 24; [[fallthrough]];
    case 11: c += std::uint32_t(k[10]) << 16; [[fallthrough]];
    case 10: c += std::uint32_t(k[9]) << 8; [[fallthrough]];
    case 9: c += k[8]; [[fallthrough]];
    case 8: b += std::uint32_t(k[7]) << 24; [[fallthrough]];
    case 7: b += std::uint32_t(k[6]) << 16; [[fallthrough]];
    case 6: b += std::uint32_t(k[5]) << 8; [[fallthrough]];
    case 5: b += k[4]; [[fallthrough]];
    case 4: a += std::uint32_t(k[3]) << 24; [[fallthrough]];
    case 3: a += std::uint32_t(k[2]) << 16; [[fallthrough]];
    case 2: a += std::uint32_t(k[1]) << 8; [[fallthrough]];
    case 1: a += k[0]; break;
    case 0: return c;
    }
    finalMix(a, b, c);
    return c;
}

/// Chains fields into one key, each field hashed with the key so far as its seed.
class Hasher {
public:
    template <class T>
    Hasher& Add(const T& value)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        hash_ = hashLittle(&value, sizeof(T), hash_);
        return *this;
    }
    Hasher& Add(const QString& value)
    {
        hash_ = hashLittle(value.utf16(), static_cast<std::size_t>(value.size()) * 2, hash_);
        return *this;
    }
    Hasher& Add(const void* handle) { return Add(reinterpret_cast<std::uintptr_t>(handle)); }
    std::uint32_t Value() const { return hash_; }

private:
    std::uint32_t hash_ = 0;
};

inline char16_t asciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }

bool equalIgnoringAsciiCase(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    const char16_t* p = reinterpret_cast<const char16_t*>(a.utf16());
    const char16_t* q = reinterpret_cast<const char16_t*>(b.utf16());
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (p[i] != q[i] && asciiLower(p[i]) != asciiLower(q[i]))
            return false;
    }
    return true;
}

template <class T>
const T& as(const SpreadSheetCustomHandle& handle)
{
    return static_cast<const T&>(handle);
}

constexpr std::size_t kInitialBucketCount = 16;

} // namespace

SpreadSheetBorder OppositeBorder(SpreadSheetBorder side)
{
    return static_cast<SpreadSheetBorder>((static_cast<int>(side) + 2) % kBorderCount);
}

// Handles

void SpreadSheetCustomHandle::Release()
{
    if (--refCount_ > 0)
        return;
    if (table_) {
        if (table_->destroying_)
            return; // the table frees it itself
        table_->Detach(this);
    }
    delete this;
}

std::unique_ptr<SpreadSheetFontHandle> SpreadSheetFontHandle::Clone() const
{
    auto result = std::make_unique<SpreadSheetFontHandle>();
    result->Assign(*this);
    return result;
}

void SpreadSheetFontHandle::Assign(const SpreadSheetFontHandle& source)
{
    Name = source.Name;
    Charset = source.Charset;
    Color = source.Color;
    Size = source.Size;
    Pitch = source.Pitch;
    Style = source.Style;
    Script = source.Script;
}

std::uint32_t SpreadSheetFontHandle::CalculateHash() const
{
    return Hasher().Add(Name).Add(Charset).Add(Color).Add(Size).Add(Pitch).Add(Style).Add(Script).Value();
}

bool SpreadSheetFontHandle::IsEqual(const SpreadSheetCustomHandle& other) const
{
    const auto& font = as<SpreadSheetFontHandle>(other);
    return Charset == font.Charset && Color == font.Color && Size == font.Size && Pitch == font.Pitch
        && Style == font.Style && Script == font.Script && Name.compare(font.Name, Qt::CaseInsensitive) == 0;
}

std::unique_ptr<SpreadSheetBrushHandle> SpreadSheetBrushHandle::Clone() const
{
    auto result = std::make_unique<SpreadSheetBrushHandle>();
    result->Assign(*this);
    return result;
}

void SpreadSheetBrushHandle::Assign(const SpreadSheetBrushHandle& source)
{
    BackgroundColor = source.BackgroundColor;
    ForegroundColor = source.ForegroundColor;
    Style = source.Style;
}

std::uint32_t SpreadSheetBrushHandle::CalculateHash() const
{
    return Hasher().Add(BackgroundColor).Add(ForegroundColor).Add(Style).Value();
}

bool SpreadSheetBrushHandle::IsEqual(const SpreadSheetCustomHandle& other) const
{
    const auto& brush = as<SpreadSheetBrushHandle>(other);
    return BackgroundColor == brush.BackgroundColor && ForegroundColor == brush.ForegroundColor
        && Style == brush.Style;
}

SpreadSheetBordersHandle::SpreadSheetBordersHandle()
{
    BorderColor.fill(kDefaultColor);
    BorderStyle.fill(sscbsDefault);
}

std::unique_ptr<SpreadSheetBordersHandle> SpreadSheetBordersHandle::Clone() const
{
    auto result = std::make_unique<SpreadSheetBordersHandle>();
    result->Assign(*this);
    return result;
}

void SpreadSheetBordersHandle::Assign(const SpreadSheetBordersHandle& source)
{
    BorderColor = source.BorderColor;
    BorderStyle = source.BorderStyle;
}

std::uint32_t SpreadSheetBordersHandle::CalculateHash() const { return Hasher().Add(BorderColor).Add(BorderStyle).Value(); }

bool SpreadSheetBordersHandle::IsEqual(const SpreadSheetCustomHandle& other) const
{
    const auto& borders = as<SpreadSheetBordersHandle>(other);
    return BorderColor == borders.BorderColor && BorderStyle == borders.BorderStyle;
}

bool SpreadSheetFormatHandle::IsDateTime() const
{
    const SpreadSheetFormatCodeKind kind = ClassifyFormatCode(FormatCode, FormatCodeID);
    return kind == fckDateTime || kind == fckTime;
}

bool SpreadSheetFormatHandle::IsTime() const { return ClassifyFormatCode(FormatCode, FormatCodeID) == fckTime; }

bool SpreadSheetFormatHandle::IsText() const { return ClassifyFormatCode(FormatCode, FormatCodeID) == fckText; }

std::unique_ptr<SpreadSheetFormatHandle> SpreadSheetFormatHandle::Clone() const
{
    return std::make_unique<SpreadSheetFormatHandle>(FormatCode, FormatCodeID);
}

void SpreadSheetFormatHandle::Assign(const SpreadSheetFormatHandle& source)
{
    FormatCode = source.FormatCode;
    FormatCodeID = source.FormatCodeID;
}

std::uint32_t SpreadSheetFormatHandle::CalculateHash() const { return Hasher().Add(FormatCode).Add(FormatCodeID).Value(); }

bool SpreadSheetFormatHandle::IsEqual(const SpreadSheetCustomHandle& other) const
{
    const auto& format = as<SpreadSheetFormatHandle>(other);
    return FormatCodeID == format.FormatCodeID && FormatCode == format.FormatCode;
}

// TODO: the format-code parser will answer this from its section tree; until then a scanner that
// looks at the letters outside quotes, brackets and escapes.
SpreadSheetFormatCodeKind ClassifyFormatCode(const QString& formatCode, int formatCodeID)
{
    if ((formatCodeID >= 18 && formatCodeID <= 21) || (formatCodeID >= 45 && formatCodeID <= 47))
        return fckTime;
    if (formatCodeID >= 14 && formatCodeID <= 22)
        return fckDateTime;
    if (formatCodeID == 49)
        return fckText;

    bool hasDate = false;
    bool hasTime = false;
    bool hasMonthOrMinute = false;
    bool hasText = false;
    int sections = 1;
    const qsizetype n = formatCode.size();
    auto startsWith = [&](qsizetype i, QStringView word) {
        return QStringView(formatCode).mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = formatCode[i];
        switch (c.unicode()) {
        case u'"': {
            const qsizetype close = formatCode.indexOf(u'"', i + 1);
            i = close < 0 ? n : close;
            continue;
        }
        case u'\\':
        case u'_':
        case u'*':
            ++i; // the next character is a literal or a width
            continue;
        case u'[': {
            const qsizetype close = formatCode.indexOf(u']', i + 1);
            const QString inside = formatCode.mid(i + 1, (close < 0 ? n : close) - i - 1).toLower();
            if (!inside.isEmpty() && inside.count(inside[0]) == inside.size()
                && (inside[0] == u'h' || inside[0] == u'm' || inside[0] == u's'))
                hasTime = true; // elapsed [h], [mm], [ss]
            i = close < 0 ? n : close;
            continue;
        }
        case u';': ++sections; continue;
        case u'@': hasText = true; continue;
        default: break;
        }
        if (startsWith(i, u"general")) {
            i += 6;
            continue;
        }
        if (startsWith(i, u"am/pm")) {
            hasTime = true;
            i += 4;
            continue;
        }
        if (startsWith(i, u"a/p")) {
            hasTime = true;
            i += 2;
            continue;
        }
        switch (c.toLower().unicode()) {
        case u'd':
        case u'y': hasDate = true; break;
        case u'e':
            if (i + 1 < n && (formatCode[i + 1] == u'+' || formatCode[i + 1] == u'-'))
                ++i; // scientific exponent
            else
                hasDate = true;
            break;
        case u'h':
        case u's': hasTime = true; break;
        case u'm': hasMonthOrMinute = true; break;
        default: break;
        }
    }
    // An "m" next to hours or seconds only is minutes; anywhere else it is a month.
    if (hasDate || (hasMonthOrMinute && !hasTime))
        return fckDateTime;
    if (hasTime)
        return fckTime;
    if (hasText && sections == 1)
        return fckText;
    return fckNumber;
}

SpreadSheetCellStyleHandle::SpreadSheetCellStyleHandle(SpreadSheetFontHandle* font, SpreadSheetFormatHandle* dataFormat,
    SpreadSheetBordersHandle* borders, SpreadSheetBrushHandle* brush)
    : borders_(borders)
    , brush_(brush)
    , dataFormat_(dataFormat)
    , font_(font)
{
}

std::unique_ptr<SpreadSheetCellStyleHandle> SpreadSheetCellStyleHandle::Clone() const
{
    auto result = std::make_unique<SpreadSheetCellStyleHandle>(Font(), DataFormat(), Borders(), Brush());
    result->Assign(*this);
    return result;
}

void SpreadSheetCellStyleHandle::Assign(const SpreadSheetCellStyleHandle& source)
{
    AlignHorz = source.AlignHorz;
    AlignHorzIndent = source.AlignHorzIndent;
    AlignVert = source.AlignVert;
    Rotation = source.Rotation;
    States = source.States;
    borders_ = source.borders_;
    brush_ = source.brush_;
    dataFormat_ = source.dataFormat_;
    font_ = source.font_;
}

std::uint32_t SpreadSheetCellStyleHandle::CalculateHash() const
{
    return Hasher()
        .Add(AlignHorz)
        .Add(std::int32_t(AlignHorzIndent))
        .Add(AlignVert)
        .Add(Borders())
        .Add(Brush())
        .Add(DataFormat())
        .Add(Font())
        .Add(std::int32_t(Rotation))
        .Add(States)
        .Value();
}

bool SpreadSheetCellStyleHandle::IsEqual(const SpreadSheetCustomHandle& other) const
{
    const auto& style = as<SpreadSheetCellStyleHandle>(other);
    return AlignHorz == style.AlignHorz && AlignHorzIndent == style.AlignHorzIndent && AlignVert == style.AlignVert
        && Rotation == style.Rotation && States == style.States && Borders() == style.Borders()
        && Brush() == style.Brush() && DataFormat() == style.DataFormat() && Font() == style.Font();
}

std::uint32_t SpreadSheetSharedString::CalculateHash() const { return Hasher().Add(value_).Value(); }

bool SpreadSheetSharedString::IsEqual(const SpreadSheetCustomHandle& other) const
{
    const auto& string = as<SpreadSheetSharedString>(other);
    return IsFormatted() == string.IsFormatted() && equalIgnoringAsciiCase(value_, string.value_);
}

void SpreadSheetFormattedSharedString::AddRun(int startIndex, SpreadSheetFontHandle* font, int tag)
{
    runs_.push_back({ startIndex, SpreadSheetHandleRef<SpreadSheetFontHandle>(font), tag });
}

std::uint32_t SpreadSheetFormattedSharedString::CalculateHash() const
{
    Hasher hasher;
    hasher.Add(Value());
    for (const auto& run : runs_)
        hasher.Add(run.StartIndex).Add(run.FontHandle.Get());
    return hasher.Value();
}

bool SpreadSheetFormattedSharedString::IsEqual(const SpreadSheetCustomHandle& other) const
{
    if (!SpreadSheetSharedString::IsEqual(other))
        return false;
    const auto& string = as<SpreadSheetFormattedSharedString>(other);
    if (runs_.size() != string.runs_.size())
        return false;
    for (std::size_t i = 0; i < runs_.size(); ++i) {
        if (runs_[i].StartIndex != string.runs_[i].StartIndex
            || runs_[i].FontHandle.Get() != string.runs_[i].FontHandle.Get())
            return false;
    }
    return true;
}

// Tables

SpreadSheetHandleTable::SpreadSheetHandleTable()
    : buckets_(kInitialBucketCount, nullptr)
{
}

SpreadSheetHandleTable::~SpreadSheetHandleTable() { FreeAll(); }

void SpreadSheetHandleTable::FreeAll()
{
    destroying_ = true;
    for (auto& bucket : buckets_) {
        while (bucket) {
            SpreadSheetCustomHandle* handle = bucket;
            bucket = handle->next_;
            delete handle;
        }
    }
    count_ = 0;
    destroying_ = false;
}

SpreadSheetCustomHandle* SpreadSheetHandleTable::Find(std::uint32_t hash, const void* key, KeyEquals equal) const
{
    for (SpreadSheetCustomHandle* item = buckets_[hash & (buckets_.size() - 1)]; item; item = item->next_) {
        if (item->hash_ == hash && equal(*item, key))
            return item;
    }
    return nullptr;
}

SpreadSheetCustomHandle* SpreadSheetHandleTable::Intern(std::unique_ptr<SpreadSheetCustomHandle> handle)
{
    const std::uint32_t hash = handle->CalculateHash();
    SpreadSheetCustomHandle* found = Find(hash, handle.get(), [](const SpreadSheetCustomHandle& item, const void* key) {
        return item.IsEqual(*static_cast<const SpreadSheetCustomHandle*>(key));
    });
    if (found)
        return found;
    SpreadSheetCustomHandle* result = handle.release();
    Insert(result, hash);
    return result;
}

void SpreadSheetHandleTable::Insert(SpreadSheetCustomHandle* handle, std::uint32_t hash)
{
    if (static_cast<std::size_t>(count_) >= buckets_.size())
        Grow();
    SpreadSheetCustomHandle*& bucket = buckets_[hash & (buckets_.size() - 1)];
    handle->table_ = this;
    handle->hash_ = hash;
    handle->next_ = bucket;
    bucket = handle;
    ++count_;
}

void SpreadSheetHandleTable::Detach(SpreadSheetCustomHandle* handle)
{
    SpreadSheetCustomHandle** link = &buckets_[handle->hash_ & (buckets_.size() - 1)];
    while (*link && *link != handle)
        link = &(*link)->next_;
    if (*link) {
        *link = handle->next_;
        --count_;
    }
    handle->next_ = nullptr;
    handle->table_ = nullptr;
}

void SpreadSheetHandleTable::Grow()
{
    std::vector<SpreadSheetCustomHandle*> buckets(buckets_.size() * 2, nullptr);
    const std::size_t mask = buckets.size() - 1;
    for (SpreadSheetCustomHandle* item : buckets_) {
        while (item) {
            SpreadSheetCustomHandle* next = item->next_;
            item->next_ = buckets[item->hash_ & mask];
            buckets[item->hash_ & mask] = item;
            item = next;
        }
    }
    buckets_.swap(buckets);
}

// Built-in number formats

namespace {

// The negative layouts that put the currency symbol after the value.
bool isCurrencySymbolFollowsValue(int negCurrFormat)
{
    switch (negCurrFormat) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 9:
    case 11:
    case 12:
    case 14: return false;
    default: return true;
    }
}

QString currencyText(const LocaleData& locale, bool shown)
{
    if (shown)
        return u'"' + locale.currencyString + u'"';
    if (locale.currencyString.size() == 1 && isCurrencySymbolFollowsValue(locale.negCurrFormat))
        return u'_' + locale.currencyString;
    return {};
}

QString positiveCurrencyFormat(const QString& pattern, const QString& currency, int layout)
{
    switch (layout) {
    case 0: return currency + pattern;
    case 1: return pattern + currency;
    case 2: return currency + u' ' + pattern;
    default: return pattern + u' ' + currency;
    }
}

QString negativeCurrencyFormat(const QString& pattern, const QString& c, int layout)
{
    const QString& n = pattern;
    if ((layout == 0 || layout == 1 || layout == 14) && pattern.startsWith(u'*')) {
        // A fill stays in front of the sign so that the sign sits next to the digits.
        const QString fill = pattern.left(2);
        const QString rest = pattern.mid(2);
        return layout == 1 ? c + fill + u'-' + rest : c + fill + u'(' + rest + u')';
    }
    switch (layout) {
    case 0: return u'(' + c + n + u')';
    case 1: return u'-' + c + n;
    case 2: return c + u'-' + n;
    case 3: return c + n + u'-';
    case 4: return u'(' + n + c + u')';
    case 5: return u'-' + n + c;
    case 6: return n + u'-' + c;
    case 7: return n + c + u'-';
    case 8: return u'-' + n + u' ' + c;
    case 9: return u'-' + c + u' ' + n;
    case 10: return n + u' ' + c + u'-';
    case 11: return c + u' ' + n + u'-';
    case 12: return c + u' ' + u'-' + n;
    case 13: return n + u'-' + u' ' + c;
    case 14: return u'(' + c + u' ' + n + u')';
    default: return u'(' + n + u' ' + c + u')';
    }
}

QString currencyFormat(const LocaleData& locale, const char16_t* templ, bool shown, const QString& first,
    const QString& second = QString())
{
    const QString c = currencyText(locale, shown);
    QString result = QString::fromUtf16(templ);
    result.replace(QStringLiteral("%0:s"), positiveCurrencyFormat(first, c, locale.currencyFormat));
    result.replace(QStringLiteral("%1:s"), negativeCurrencyFormat(first, c, locale.negCurrFormat));
    result.replace(QStringLiteral("%2:s"), positiveCurrencyFormat(second, c, locale.currencyFormat));
    return result;
}

const char16_t* fixedFormatCode(int id)
{
    switch (id) {
    case 0: return u"GENERAL";
    case 1: return u"0";
    case 2: return u"0.00";
    case 3: return u"#,##0";
    case 4: return u"#,##0.00";
    case 9: return u"0%";
    case 10: return u"0.00%";
    case 11: return u"0.00E+00";
    case 12: return u"# ?/?";
    case 13: return u"# ?\?/??";
    case 14: return u"m/d/yy";
    case 15: return u"d-mmm-yy";
    case 16: return u"d-mmm";
    case 17: return u"mmm-yy";
    case 18: return u"h:mm AM/PM";
    case 19: return u"h:mm:ss AM/PM";
    case 20: return u"h:mm";
    case 21: return u"h:mm:ss";
    case 22: return u"m/d/yy h:mm";
    case 37: return u"#,##0_);(#,##0)";
    case 38: return u"#,##0_);[Red](#,##0)";
    case 39: return u"#,##0.00_);(#,##0.00)";
    case 40: return u"#,##0.00_);[Red](#,##0.00)";
    case 45: return u"mm:ss";
    case 46: return u"[h]:mm:ss";
    case 47: return u"mm:ss.0";
    case 48: return u"##0.0E+0";
    case 49: return u"@";
    default: return nullptr;
    }
}

} // namespace

QString PredefinedFormatCode(int id, const LocaleData& locale)
{
    static constexpr char16_t kPlain[] = u"%0:s_);%1:s";
    static constexpr char16_t kRed[] = u"%0:s_);[Red]%1:s";
    static constexpr char16_t kAccounting[] = u"_(%0:s_);_(%1:s;_(%2:s_);_(@_)";
    switch (id) {
    case 5: return currencyFormat(locale, kPlain, true, QStringLiteral("#,##0"));
    case 6: return currencyFormat(locale, kRed, true, QStringLiteral("#,##0"));
    case 7: return currencyFormat(locale, kPlain, true, QStringLiteral("#,##0.00"));
    case 8: return currencyFormat(locale, kRed, true, QStringLiteral("#,##0.00"));
    case 41:
    case 42:
        return currencyFormat(locale, kAccounting, id == 42, QStringLiteral("* #,##0"), QStringLiteral("* \"-\""));
    case 43:
    case 44:
        return currencyFormat(
            locale, kAccounting, id == 44, QStringLiteral("* #,##0.00"), QStringLiteral("* \"-\"??"));
    default: {
        const char16_t* code = fixedFormatCode(id);
        return code ? QString::fromUtf16(code) : QString();
    }
    }
}

SpreadSheetFormatHandle* SpreadSheetPredefinedFormats::GetFormatHandleByID(int id) const
{
    return id >= 0 && id <= kMaxID ? handles_[static_cast<std::size_t>(id)] : nullptr;
}

int SpreadSheetPredefinedFormats::GetIDByFormatCode(const QString& formatCode) const
{
    if (formatCode.compare(u"General", Qt::CaseInsensitive) == 0)
        return 0;
    for (int id = 1; id <= kMaxID; ++id) {
        const SpreadSheetFormatHandle* handle = handles_[static_cast<std::size_t>(id)];
        if (handle && handle->FormatCode == formatCode)
            return id;
    }
    return -1;
}

QString SpreadSheetPredefinedFormats::GetFormatCodeByID(int id) const
{
    const SpreadSheetFormatHandle* handle = GetFormatHandleByID(id);
    return handle ? handle->FormatCode : QString();
}

SpreadSheetFormats::SpreadSheetFormats(const LocaleData& locale)
{
    for (int id = 0; id <= SpreadSheetPredefinedFormats::kMaxID; ++id) {
        const QString code = PredefinedFormatCode(id, locale);
        if (code.isEmpty())
            continue;
        auto* handle = static_cast<SpreadSheetFormatHandle*>(Intern(std::make_unique<SpreadSheetFormatHandle>(code, id)));
        handle->AddRef(); // built-in formats live as long as the table
        predefined_.handles_[static_cast<std::size_t>(id)] = handle;
    }
}

SpreadSheetFormats::~SpreadSheetFormats() = default;

SpreadSheetFormatHandle* SpreadSheetFormats::AddFormat(std::unique_ptr<SpreadSheetFormatHandle> handle)
{
    if (SpreadSheetFormatHandle* predefined = predefined_.GetFormatHandleByID(handle->FormatCodeID))
        return predefined;
    // A number that is not built in is kept as a custom code; a built-in code gets its number.
    if (SpreadSheetFormatHandle* predefined
        = predefined_.GetFormatHandleByID(predefined_.GetIDByFormatCode(handle->FormatCode)))
        return predefined;
    handle->FormatCodeID = -1;
    return static_cast<SpreadSheetFormatHandle*>(Intern(std::move(handle)));
}

SpreadSheetFormatHandle* SpreadSheetFormats::AddFormat(const QString& formatCode)
{
    return AddFormat(std::make_unique<SpreadSheetFormatHandle>(formatCode, -1));
}

SpreadSheetFormatHandle* SpreadSheetFormats::AddFormatByID(int formatCodeID)
{
    SpreadSheetFormatHandle* handle = predefined_.GetFormatHandleByID(formatCodeID);
    if (!handle)
        throw ESpreadSheetError(sErrorInvalidFormatCodeID.Format({ QString::number(formatCodeID) }));
    return handle;
}

SpreadSheetFormatHandle* SpreadSheetFormats::AddClone(const SpreadSheetFormatHandle* handle)
{
    return AddFormat(handle->Clone());
}

// Styles

SpreadSheetCellStyles::SpreadSheetCellStyles()
    : SpreadSheetCellStyles(LocaleData::System())
{
}

SpreadSheetCellStyles::SpreadSheetCellStyles(const LocaleData& locale)
    : formats_(locale)
{
    defaultStyle_ = static_cast<SpreadSheetCellStyleHandle*>(Intern(CreateStyle()));
    defaultStyle_->isDefault_ = true;
    defaultStyle_->AddRef();
}

SpreadSheetCellStyles::~SpreadSheetCellStyles()
{
    // Style handles refer to the member tables, which are destroyed before the base.
    FreeAll();
}

std::unique_ptr<SpreadSheetCellStyleHandle> SpreadSheetCellStyles::CreateStyle(SpreadSheetFontHandle* font,
    SpreadSheetFormatHandle* dataFormat, SpreadSheetBordersHandle* borders, SpreadSheetBrushHandle* brush)
{
    return std::make_unique<SpreadSheetCellStyleHandle>(font ? font : fonts_.DefaultFont(),
        dataFormat ? dataFormat : formats_.DefaultFormat(), borders ? borders : borders_.DefaultBorders(),
        brush ? brush : brushes_.DefaultBrush());
}

SpreadSheetCellStyleHandle* SpreadSheetCellStyles::AddStyle(std::unique_ptr<SpreadSheetCellStyleHandle> handle)
{
    // The default style is looked at first: after an in-place edit of it, an older handle may have
    // the same content.
    if (defaultStyle_ && defaultStyle_->IsEqual(*handle))
        return defaultStyle_;
    return static_cast<SpreadSheetCellStyleHandle*>(Intern(std::move(handle)));
}

SpreadSheetCellStyleHandle* SpreadSheetCellStyles::AddClone(const SpreadSheetCellStyleHandle* handle)
{
    auto result = CreateStyle(fonts_.AddClone(handle->Font()), formats_.AddClone(handle->DataFormat()),
        borders_.AddClone(handle->Borders()), brushes_.AddClone(handle->Brush()));
    result->AlignHorz = handle->AlignHorz;
    result->AlignHorzIndent = handle->AlignHorzIndent;
    result->AlignVert = handle->AlignVert;
    result->Rotation = handle->Rotation;
    result->States = handle->States;
    return AddStyle(std::move(result));
}

void SpreadSheetCellStyles::SetDefaultStyleContent(const SpreadSheetCellStyleHandle& content)
{
    if (&content == defaultStyle_)
        return;
    Detach(defaultStyle_);
    defaultStyle_->Assign(content);
    Insert(defaultStyle_, defaultStyle_->CalculateHash());
}

void SpreadSheetCellStyles::ResetDefaultStyle() { SetDefaultStyleContent(*CreateStyle()); }

// Shared strings

SpreadSheetSharedStringTable::SpreadSheetSharedStringTable(SpreadSheetFonts& fonts)
    : fonts_(fonts)
{
}

SpreadSheetSharedStringTable::~SpreadSheetSharedStringTable() = default;

SpreadSheetSharedString* SpreadSheetSharedStringTable::Add(const QString& value)
{
    const std::uint32_t hash = Hasher().Add(value).Value();
    SpreadSheetCustomHandle* found = Find(hash, &value, [](const SpreadSheetCustomHandle& item, const void* key) {
        const auto& string = as<SpreadSheetSharedString>(item);
        return !string.IsFormatted() && equalIgnoringAsciiCase(string.Value(), *static_cast<const QString*>(key));
    });
    if (found)
        return static_cast<SpreadSheetSharedString*>(found);
    auto* result = new SpreadSheetSharedString(value);
    Insert(result, hash);
    return result;
}

SpreadSheetSharedString* SpreadSheetSharedStringTable::Add(std::unique_ptr<SpreadSheetSharedString> value)
{
    return static_cast<SpreadSheetSharedString*>(Intern(std::move(value)));
}

SpreadSheetSharedString* SpreadSheetSharedStringTable::AddClone(const SpreadSheetSharedString* value)
{
    if (!value->IsFormatted())
        return Add(value->Value());
    auto result = std::make_unique<SpreadSheetFormattedSharedString>(value->Value());
    for (const auto& run : as<SpreadSheetFormattedSharedString>(*value).Runs())
        result->AddRun(run.StartIndex, fonts_.AddClone(run.FontHandle.Get()), run.Tag);
    return Add(std::move(result));
}

} // namespace quorvel
