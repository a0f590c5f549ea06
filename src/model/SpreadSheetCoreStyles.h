#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace quorvel {

struct LocaleData;

/// 32-bit colour value (0x00BBGGRR); kDefaultColor means the automatic colour.
using SpreadSheetColor = std::uint32_t;
inline constexpr SpreadSheetColor kDefaultColor = 0x20000000;

enum class SpreadSheetDataAlignHorz : std::uint8_t {
    ssahGeneral,
    ssahLeft,
    ssahCenter,
    ssahRight,
    ssahFill,
    ssahJustify,
    ssahDistributed,
};
using enum SpreadSheetDataAlignHorz;

enum class SpreadSheetDataAlignVert : std::uint8_t { ssavTop, ssavCenter, ssavBottom, ssavJustify, ssavDistributed };
using enum SpreadSheetDataAlignVert;

/// Bits of a cell's protection and layout states.
enum SpreadSheetCellState : std::uint8_t {
    csLocked = 1,
    csHidden = 2,
    csShrinkToFit = 4,
    csWordWrap = 8,
};
using SpreadSheetCellStates = std::uint8_t;

enum class SpreadSheetCellBorderStyle : std::uint8_t {
    sscbsDefault,
    sscbsHair,
    sscbsDotted,
    sscbsDashDotDot,
    sscbsDashDot,
    sscbsDashed,
    sscbsThin,
    sscbsMediumDashDotDot,
    sscbsSlantedDashDot,
    sscbsMediumDashDot,
    sscbsMediumDashed,
    sscbsMedium,
    sscbsThick,
    sscbsDouble,
    sscbsNone,
};
using enum SpreadSheetCellBorderStyle;

enum class SpreadSheetCellFillStyle : std::uint8_t {
    sscfsSolid,
    sscfsGray75,
    sscfsGray50,
    sscfsGray25,
    sscfsGray12,
    sscfsGray6,
    sscfsHorzStrip,
    sscfsVertStrip,
    sscfsRevDiagonalStrip,
    sscfsDiagonalStrip,
    sscfsDiagCrossHatch,
    sscfsThickCrossHatch,
    sscfsThinHorzStrip,
    sscfsThinVertStrip,
    sscfsThinRevDiagonalStrip,
    sscfsThinDiagonalStrip,
    sscfsThinDiagCrossHatch,
    sscfsThinThickCrossHatch,
};
using enum SpreadSheetCellFillStyle;

enum class SpreadSheetFontScript : std::uint8_t { fsNone, fsSuperscript, fsSubscript };
using enum SpreadSheetFontScript;

/// Bits of a font's style set.
enum SpreadSheetFontStyle : std::uint8_t {
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
};
using SpreadSheetFontStyles = std::uint8_t;

/// Side of a cell; also the index into a borders handle.
enum class SpreadSheetBorder : std::uint8_t { bLeft, bTop, bRight, bBottom };
using enum SpreadSheetBorder;
inline constexpr int kBorderCount = 4;
SpreadSheetBorder OppositeBorder(SpreadSheetBorder side);

inline constexpr std::uint8_t kDefaultFontCharset = 1;
inline constexpr int kMaxAlignHorzIndent = 250;

class SpreadSheetHandleTable;

/// Base of every interned, reference-counted style value and shared string. An interned handle is
/// owned by its table: AddRef when storing it in a slot, Release when dropping it; the Release that
/// brings the count to 0 removes the handle from its table and frees it. A handle that is not yet
/// interned (a fresh one or a Clone) is owned by a std::unique_ptr and is never reference-counted.
class SpreadSheetCustomHandle {
public:
    SpreadSheetCustomHandle() = default;
    SpreadSheetCustomHandle(const SpreadSheetCustomHandle&) = delete;
    SpreadSheetCustomHandle& operator=(const SpreadSheetCustomHandle&) = delete;
    virtual ~SpreadSheetCustomHandle() = default;

    void AddRef() noexcept { ++refCount_; }
    void Release();
    int RefCount() const noexcept { return refCount_; }
    /// The table the handle is interned in; nullptr before interning.
    SpreadSheetHandleTable* Table() const noexcept { return table_; }

    /// Key of the content; equal contents must give equal keys.
    virtual std::uint32_t CalculateHash() const = 0;
    /// Content equality with a handle of the same kind.
    virtual bool IsEqual(const SpreadSheetCustomHandle& other) const = 0;

private:
    friend class SpreadSheetHandleTable;
    SpreadSheetHandleTable* table_ = nullptr;
    SpreadSheetCustomHandle* next_ = nullptr;
    std::uint32_t hash_ = 0;
    std::int32_t refCount_ = 0;
};

/// A counted reference to an interned handle: one pointer, AddRef on store, Release on drop.
template <class T>
class SpreadSheetHandleRef {
public:
    SpreadSheetHandleRef() = default;
    explicit SpreadSheetHandleRef(T* handle)
        : handle_(handle)
    {
        if (handle_)
            handle_->AddRef();
    }
    SpreadSheetHandleRef(const SpreadSheetHandleRef& other)
        : SpreadSheetHandleRef(other.handle_)
    {
    }
    SpreadSheetHandleRef(SpreadSheetHandleRef&& other) noexcept
        : handle_(std::exchange(other.handle_, nullptr))
    {
    }
    SpreadSheetHandleRef& operator=(const SpreadSheetHandleRef& other)
    {
        Reset(other.handle_);
        return *this;
    }
    SpreadSheetHandleRef& operator=(SpreadSheetHandleRef&& other) noexcept
    {
        if (this != &other) {
            T* old = std::exchange(handle_, std::exchange(other.handle_, nullptr));
            if (old)
                old->Release();
        }
        return *this;
    }
    ~SpreadSheetHandleRef()
    {
        if (handle_)
            handle_->Release();
    }

    /// Stores `handle` (adding a reference) and releases the previous one.
    void Reset(T* handle = nullptr)
    {
        if (handle == handle_)
            return;
        if (handle)
            handle->AddRef();
        T* old = std::exchange(handle_, handle);
        if (old)
            old->Release();
    }
    T* Get() const noexcept { return handle_; }
    T* operator->() const noexcept { return handle_; }
    T& operator*() const noexcept { return *handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }

private:
    T* handle_ = nullptr;
};

/// Font: name, charset, colour, size in points, pitch, style bits, script. The public fields may be
/// changed only before the handle is interned.
class SpreadSheetFontHandle final : public SpreadSheetCustomHandle {
public:
    QString Name = QStringLiteral("Calibri");
    std::uint8_t Charset = kDefaultFontCharset;
    SpreadSheetColor Color = kDefaultColor;
    int Size = 11;
    std::uint8_t Pitch = 0;
    SpreadSheetFontStyles Style = 0;
    SpreadSheetFontScript Script = fsNone;

    std::unique_ptr<SpreadSheetFontHandle> Clone() const;
    void Assign(const SpreadSheetFontHandle& source);

    std::uint32_t CalculateHash() const override;
    bool IsEqual(const SpreadSheetCustomHandle& other) const override;
};

class SpreadSheetBrushHandle final : public SpreadSheetCustomHandle {
public:
    SpreadSheetColor BackgroundColor = kDefaultColor;
    SpreadSheetColor ForegroundColor = kDefaultColor;
    SpreadSheetCellFillStyle Style = sscfsSolid;

    std::unique_ptr<SpreadSheetBrushHandle> Clone() const;
    void Assign(const SpreadSheetBrushHandle& source);

    std::uint32_t CalculateHash() const override;
    bool IsEqual(const SpreadSheetCustomHandle& other) const override;
};

/// The four borders of a cell, indexed by SpreadSheetBorder (left, top, right, bottom).
class SpreadSheetBordersHandle final : public SpreadSheetCustomHandle {
public:
    SpreadSheetBordersHandle();

    std::array<SpreadSheetColor, kBorderCount> BorderColor;
    std::array<SpreadSheetCellBorderStyle, kBorderCount> BorderStyle;

    SpreadSheetColor Color(SpreadSheetBorder side) const { return BorderColor[static_cast<int>(side)]; }
    SpreadSheetCellBorderStyle Style(SpreadSheetBorder side) const { return BorderStyle[static_cast<int>(side)]; }

    std::unique_ptr<SpreadSheetBordersHandle> Clone() const;
    void Assign(const SpreadSheetBordersHandle& source);

    std::uint32_t CalculateHash() const override;
    bool IsEqual(const SpreadSheetCustomHandle& other) const override;
};

/// Number format: the code text and its built-in number (-1 for a custom code).
class SpreadSheetFormatHandle final : public SpreadSheetCustomHandle {
public:
    SpreadSheetFormatHandle() = default;
    SpreadSheetFormatHandle(QString formatCode, int formatCodeID)
        : FormatCode(std::move(formatCode))
        , FormatCodeID(formatCodeID)
    {
    }

    QString FormatCode;
    int FormatCodeID = -1;

    /// The code shows a date, a time or both.
    bool IsDateTime() const;
    /// The code shows only a time of day or an elapsed time.
    bool IsTime() const;
    /// The code is a text format ("@").
    bool IsText() const;

    std::unique_ptr<SpreadSheetFormatHandle> Clone() const;
    void Assign(const SpreadSheetFormatHandle& source);

    std::uint32_t CalculateHash() const override;
    bool IsEqual(const SpreadSheetCustomHandle& other) const override;
};

/// What a number format code shows; one place so that the format-code parser can take it over.
enum class SpreadSheetFormatCodeKind : std::uint8_t { fckNumber, fckDateTime, fckTime, fckText };
using enum SpreadSheetFormatCodeKind;
SpreadSheetFormatCodeKind ClassifyFormatCode(const QString& formatCode, int formatCodeID);

/// A whole cell style. Sub-handles are counted references and never null; the value fields may be
/// changed only before the handle is interned.
class SpreadSheetCellStyleHandle final : public SpreadSheetCustomHandle {
public:
    SpreadSheetCellStyleHandle(SpreadSheetFontHandle* font, SpreadSheetFormatHandle* dataFormat,
        SpreadSheetBordersHandle* borders, SpreadSheetBrushHandle* brush);

    SpreadSheetDataAlignHorz AlignHorz = ssahGeneral;
    std::int16_t AlignHorzIndent = 0;
    SpreadSheetDataAlignVert AlignVert = ssavBottom;
    std::int16_t Rotation = 0;
    SpreadSheetCellStates States = csLocked;

    SpreadSheetBordersHandle* Borders() const { return borders_.Get(); }
    SpreadSheetBrushHandle* Brush() const { return brush_.Get(); }
    SpreadSheetFormatHandle* DataFormat() const { return dataFormat_.Get(); }
    SpreadSheetFontHandle* Font() const { return font_.Get(); }
    void SetBorders(SpreadSheetBordersHandle* handle) { borders_.Reset(handle); }
    void SetBrush(SpreadSheetBrushHandle* handle) { brush_.Reset(handle); }
    void SetDataFormat(SpreadSheetFormatHandle* handle) { dataFormat_.Reset(handle); }
    void SetFont(SpreadSheetFontHandle* handle) { font_.Reset(handle); }

    /// True only for the workbook's default style handle.
    bool IsDefault() const { return isDefault_; }

    /// An un-interned copy (never marked default).
    std::unique_ptr<SpreadSheetCellStyleHandle> Clone() const;
    /// Copies the content (not the default mark).
    void Assign(const SpreadSheetCellStyleHandle& source);

    std::uint32_t CalculateHash() const override;
    bool IsEqual(const SpreadSheetCustomHandle& other) const override;

private:
    friend class SpreadSheetCellStyles;
    SpreadSheetHandleRef<SpreadSheetBordersHandle> borders_;
    SpreadSheetHandleRef<SpreadSheetBrushHandle> brush_;
    SpreadSheetHandleRef<SpreadSheetFormatHandle> dataFormat_;
    SpreadSheetHandleRef<SpreadSheetFontHandle> font_;
    bool isDefault_ = false;
};

/// A workbook string shared by every cell that holds it.
class SpreadSheetSharedString : public SpreadSheetCustomHandle {
public:
    explicit SpreadSheetSharedString(QString value)
        : value_(std::move(value))
    {
    }
    const QString& Value() const { return value_; }
    virtual bool IsFormatted() const { return false; }

    std::uint32_t CalculateHash() const override;
    bool IsEqual(const SpreadSheetCustomHandle& other) const override;

private:
    QString value_;
};

/// One formatting run of a rich string: from StartIndex (0-based) to the next run's start.
struct SpreadSheetFormattedSharedStringRun {
    int StartIndex = 0;
    SpreadSheetHandleRef<SpreadSheetFontHandle> FontHandle;
    int Tag = 0;
};

/// A rich string: text plus runs that each carry a counted font reference.
class SpreadSheetFormattedSharedString final : public SpreadSheetSharedString {
public:
    using SpreadSheetSharedString::SpreadSheetSharedString;

    bool IsFormatted() const override { return true; }
    const std::vector<SpreadSheetFormattedSharedStringRun>& Runs() const { return runs_; }
    /// Appends a run; only before the string is interned. `font` must be interned.
    void AddRun(int startIndex, SpreadSheetFontHandle* font, int tag = 0);

    std::uint32_t CalculateHash() const override;
    bool IsEqual(const SpreadSheetCustomHandle& other) const override;

private:
    std::vector<SpreadSheetFormattedSharedStringRun> runs_;
};

/// Hash table of interned handles of one kind. Equal content gives one instance; lookups are O(1).
/// The table frees the handles it still holds when it is destroyed, so every slot that refers to
/// them must be gone by then.
class SpreadSheetHandleTable {
public:
    SpreadSheetHandleTable(const SpreadSheetHandleTable&) = delete;
    SpreadSheetHandleTable& operator=(const SpreadSheetHandleTable&) = delete;
    virtual ~SpreadSheetHandleTable();

    /// Number of interned handles, referenced or not.
    int Count() const { return count_; }

protected:
    SpreadSheetHandleTable();

    /// Interns `handle`: returns the equal handle already in the table (freeing `handle`), or
    /// `handle` itself now owned by the table. No reference is added.
    SpreadSheetCustomHandle* Intern(std::unique_ptr<SpreadSheetCustomHandle> handle);
    /// Finds an interned handle whose key is `hash` and for which `equal(handle, key)` holds.
    using KeyEquals = bool (*)(const SpreadSheetCustomHandle& handle, const void* key);
    SpreadSheetCustomHandle* Find(std::uint32_t hash, const void* key, KeyEquals equal) const;
    /// Inserts `handle` under `hash` without looking for an equal one.
    void Insert(SpreadSheetCustomHandle* handle, std::uint32_t hash);
    /// Takes an interned handle out of the table (it is not freed).
    void Detach(SpreadSheetCustomHandle* handle);
    /// Frees every handle still held; tables whose handles refer to member tables call it first.
    void FreeAll();

private:
    friend class SpreadSheetCustomHandle;
    void Grow();

    std::vector<SpreadSheetCustomHandle*> buckets_;
    int count_ = 0;
    bool destroying_ = false;
};

/// A table whose kind has a default item; the default holds an extra reference so it never dies.
template <class Handle>
class SpreadSheetValueHandleTable : public SpreadSheetHandleTable {
public:
    /// Interns a copy of a handle of any workbook.
    Handle* AddClone(const Handle* handle) { return AddHandle(handle->Clone()); }

protected:
    SpreadSheetValueHandleTable()
        : default_(AddHandle(std::make_unique<Handle>()))
    {
        default_->AddRef();
    }
    /// Interns a handle; no reference is added to the result.
    Handle* AddHandle(std::unique_ptr<Handle> handle) { return static_cast<Handle*>(Intern(std::move(handle))); }

    Handle* default_;
};

class SpreadSheetFonts final : public SpreadSheetValueHandleTable<SpreadSheetFontHandle> {
public:
    SpreadSheetFontHandle* DefaultFont() const { return default_; }
    SpreadSheetFontHandle* AddFont(std::unique_ptr<SpreadSheetFontHandle> handle) { return AddHandle(std::move(handle)); }
};

class SpreadSheetBrushes final : public SpreadSheetValueHandleTable<SpreadSheetBrushHandle> {
public:
    SpreadSheetBrushHandle* DefaultBrush() const { return default_; }
    SpreadSheetBrushHandle* AddBrush(std::unique_ptr<SpreadSheetBrushHandle> handle)
    {
        return AddHandle(std::move(handle));
    }
};

class SpreadSheetBorders final : public SpreadSheetValueHandleTable<SpreadSheetBordersHandle> {
public:
    SpreadSheetBordersHandle* DefaultBorders() const { return default_; }
    SpreadSheetBordersHandle* AddBorders(std::unique_ptr<SpreadSheetBordersHandle> handle)
    {
        return AddHandle(std::move(handle));
    }
};

class SpreadSheetFormats;

/// The built-in number formats by number (0..49 where they exist). The currency formats (5-8,
/// 41-44) are composed from the locale's currency settings when the table is built.
class SpreadSheetPredefinedFormats {
public:
    static constexpr int kMaxID = 49;

    /// The interned handle of a built-in number, or nullptr when the number is not built in.
    SpreadSheetFormatHandle* GetFormatHandleByID(int id) const;
    /// The built-in number whose code equals `formatCode` ("General" in any case is 0); -1 if none.
    int GetIDByFormatCode(const QString& formatCode) const;
    /// The code of a built-in number; empty when not built in.
    QString GetFormatCodeByID(int id) const;

private:
    friend class SpreadSheetFormats;

    std::array<SpreadSheetFormatHandle*, kMaxID + 1> handles_ {};
};

/// The code of a built-in number format for a locale; empty when the number is not built in.
QString PredefinedFormatCode(int id, const LocaleData& locale);

class SpreadSheetFormats final : public SpreadSheetHandleTable {
public:
    /// Builds the built-in formats with the currency of `locale`.
    explicit SpreadSheetFormats(const LocaleData& locale);
    ~SpreadSheetFormats() override;

    SpreadSheetFormatHandle* DefaultFormat() const { return PredefinedFormats().GetFormatHandleByID(0); }
    const SpreadSheetPredefinedFormats& PredefinedFormats() const { return predefined_; }

    /// A format carrying a built-in number gives that built-in format; otherwise its code decides
    /// as in AddFormat(code).
    SpreadSheetFormatHandle* AddFormat(std::unique_ptr<SpreadSheetFormatHandle> handle);
    /// A code equal to a built-in one gives that built-in format; any other code a custom one (-1).
    SpreadSheetFormatHandle* AddFormat(const QString& formatCode);
    /// The built-in format of a number; raises ESpreadSheetError (sErrorInvalidFormatCodeID) when
    /// the number is not built in.
    SpreadSheetFormatHandle* AddFormatByID(int formatCodeID);
    SpreadSheetFormatHandle* AddClone(const SpreadSheetFormatHandle* handle);

private:
    SpreadSheetPredefinedFormats predefined_;
};

/// The style cache of a workbook: the style table and its font, brush, borders and format tables.
/// Add... and AddClone return interned handles WITHOUT an added reference: store them through
/// SpreadSheetHandleRef (or AddRef) to keep them.
class SpreadSheetCellStyles final : public SpreadSheetHandleTable {
public:
    /// Built-in currency formats from the system locale.
    SpreadSheetCellStyles();
    explicit SpreadSheetCellStyles(const LocaleData& locale);
    ~SpreadSheetCellStyles() override;

    SpreadSheetFonts& Fonts() { return fonts_; }
    SpreadSheetBrushes& Brushes() { return brushes_; }
    SpreadSheetBorders& Borders() { return borders_; }
    SpreadSheetFormats& Formats() { return formats_; }

    SpreadSheetCellStyleHandle* DefaultStyle() const { return defaultStyle_; }
    /// An un-interned style with the given sub-handles; null ones take the defaults.
    std::unique_ptr<SpreadSheetCellStyleHandle> CreateStyle(SpreadSheetFontHandle* font = nullptr,
        SpreadSheetFormatHandle* dataFormat = nullptr, SpreadSheetBordersHandle* borders = nullptr,
        SpreadSheetBrushHandle* brush = nullptr);
    /// Interns a style; one equal to the default style gives the default style.
    SpreadSheetCellStyleHandle* AddStyle(std::unique_ptr<SpreadSheetCellStyleHandle> handle);
    /// Interns a copy of a style of any workbook, sub-handles first.
    SpreadSheetCellStyleHandle* AddClone(const SpreadSheetCellStyleHandle* handle);
    /// Replaces the content of the default style in place; every slot that holds it sees the change.
    void SetDefaultStyleContent(const SpreadSheetCellStyleHandle& content);
    /// Gives the default style the default sub-handles and values back.
    void ResetDefaultStyle();

private:
    SpreadSheetFonts fonts_;
    SpreadSheetBrushes brushes_;
    SpreadSheetBorders borders_;
    SpreadSheetFormats formats_;
    SpreadSheetCellStyleHandle* defaultStyle_ = nullptr;
};

/// The workbook's plain and rich strings. Add returns the interned string WITHOUT an added
/// reference: a cell AddRefs it when storing it and Releases it when dropping it. Strings compare
/// ignoring the case of ASCII letters but are keyed by their exact UTF-16 text, so "abc" and "ABC"
/// normally stay two strings. The table must be destroyed before the font table its runs refer to.
class SpreadSheetSharedStringTable final : public SpreadSheetHandleTable {
public:
    explicit SpreadSheetSharedStringTable(SpreadSheetFonts& fonts);
    ~SpreadSheetSharedStringTable() override;

    SpreadSheetFonts& Fonts() { return fonts_; }

    SpreadSheetSharedString* Add(const QString& value);
    /// Interns a plain or rich string built by the caller.
    SpreadSheetSharedString* Add(std::unique_ptr<SpreadSheetSharedString> value);
    /// Interns a copy of a string of any workbook (run fonts are cloned into this workbook's fonts).
    SpreadSheetSharedString* AddClone(const SpreadSheetSharedString* value);
    /// Number of distinct strings held.
    int GetUniqueCount() const { return Count(); }

private:
    SpreadSheetFonts& fonts_;
};

} // namespace quorvel
