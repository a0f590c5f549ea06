#pragma once

#include "model/SpreadSheetCoreStyles.h"

#include <functional>
#include <memory>

namespace quorvel {

class SpreadSheetFormatSettings;
class SpreadSheetCellStyle;

/// What a style object needs from the cell, row, column or workbook that owns it.
class ISpreadSheetCellStyleOwner {
public:
    virtual SpreadSheetCellStyles& CellStyles() = 0;
    virtual const SpreadSheetFormatSettings& FormatSettings() = 0;
    /// The handle is about to change: the owner records its current handle in the history.
    virtual void StyleChanging() = 0;
    /// The handle changed (outside any update): the owner drops its caches and raises sscLayout+sscStyle.
    virtual void StyleChanged() = 0;
    /// The handle went from `prev` to `next`: neighbour borders, run fonts, crossing cells...
    virtual void ProcessStyleChanged(SpreadSheetCellStyleHandle* prev, SpreadSheetCellStyleHandle* next) = 0;

protected:
    ~ISpreadSheetCellStyleOwner() = default;
};

/// Font of an editable style; each setter re-interns the font and stores it in the style.
class SpreadSheetCellFont {
public:
    explicit SpreadSheetCellFont(SpreadSheetCellStyle& style)
        : style_(style)
    {
    }
    SpreadSheetFontHandle* Handle() const;

    QString Name() const { return Handle()->Name; }
    std::uint8_t Charset() const { return Handle()->Charset; }
    SpreadSheetColor Color() const { return Handle()->Color; }
    int Size() const { return Handle()->Size; }
    /// Height in pixels at 96 DPI, negative as a character height.
    int Height() const;
    std::uint8_t Pitch() const { return Handle()->Pitch; }
    SpreadSheetFontStyles Style() const { return Handle()->Style; }
    SpreadSheetFontScript Script() const { return Handle()->Script; }

    void SetName(const QString& value);
    void SetCharset(std::uint8_t value);
    void SetColor(SpreadSheetColor value);
    void SetSize(int value);
    void SetHeight(int value);
    void SetPitch(std::uint8_t value);
    void SetStyle(SpreadSheetFontStyles value);
    void SetScript(SpreadSheetFontScript value);
    /// Takes every attribute of `source` (a font of any workbook).
    void Assign(const SpreadSheetFontHandle* source);

private:
    SpreadSheetCellStyle& style_;
};

class SpreadSheetCellBrush {
public:
    explicit SpreadSheetCellBrush(SpreadSheetCellStyle& style)
        : style_(style)
    {
    }
    SpreadSheetBrushHandle* Handle() const;

    SpreadSheetColor BackgroundColor() const { return Handle()->BackgroundColor; }
    SpreadSheetColor ForegroundColor() const { return Handle()->ForegroundColor; }
    SpreadSheetCellFillStyle Style() const { return Handle()->Style; }
    void SetBackgroundColor(SpreadSheetColor value);
    void SetForegroundColor(SpreadSheetColor value);
    void SetStyle(SpreadSheetCellFillStyle value);

private:
    SpreadSheetCellStyle& style_;
};

/// One side of the borders of an editable style.
class SpreadSheetCellBorder {
public:
    SpreadSheetCellBorder(SpreadSheetCellStyle& style, SpreadSheetBorder side)
        : style_(style)
        , side_(side)
    {
    }
    SpreadSheetBorder Side() const { return side_; }

    SpreadSheetColor Color() const;
    SpreadSheetCellBorderStyle Style() const;
    void SetColor(SpreadSheetColor value);
    void SetStyle(SpreadSheetCellBorderStyle value);
    /// Back to sscbsDefault with the default colour.
    void Reset();

private:
    SpreadSheetCellStyle& style_;
    SpreadSheetBorder side_;
};

class SpreadSheetCellDataFormat {
public:
    explicit SpreadSheetCellDataFormat(SpreadSheetCellStyle& style)
        : style_(style)
    {
    }
    SpreadSheetFormatHandle* Handle() const;

    const QString& FormatCode() const { return Handle()->FormatCode; }
    int FormatCodeID() const { return Handle()->FormatCodeID; }
    /// A code equal to a built-in one is stored as that built-in format; any other as custom (-1).
    void SetFormatCode(const QString& value);
    /// Raises ESpreadSheetError (sErrorInvalidFormatCodeID) for a number that is not built in.
    void SetFormatCodeID(int value);
    bool IsDateTime() const { return Handle()->IsDateTime(); }
    bool IsText() const { return Handle()->IsText(); }
    bool IsTime() const { return Handle()->IsTime(); }

private:
    SpreadSheetCellStyle& style_;
};

/// Editable style of a cell, row, column or workbook. Edits are copy-on-write: the outermost
/// BeginUpdate takes a private copy of the handle, setters change the copy, and the outermost
/// EndUpdate interns it once (or keeps the previous handle when nothing differs) and tells the
/// owner. A setter outside an update is its own one-edit update.
class SpreadSheetCellStyle {
public:
    /// Starts with `handle`, or the default style when it is null. `owner` must outlive the style.
    explicit SpreadSheetCellStyle(ISpreadSheetCellStyleOwner& owner, SpreadSheetCellStyleHandle* handle = nullptr);
    SpreadSheetCellStyle(const SpreadSheetCellStyle&) = delete;
    SpreadSheetCellStyle& operator=(const SpreadSheetCellStyle&) = delete;
    virtual ~SpreadSheetCellStyle();

    ISpreadSheetCellStyleOwner& Owner() const { return owner_; }
    SpreadSheetCellStyles& CellStyles() const { return owner_.CellStyles(); }

    /// The interned handle; during an update it stays the handle from before the update.
    SpreadSheetCellStyleHandle* Handle() const { return handle_.Get(); }
    /// Replaces the handle (interned, of this workbook). Inside an update it replaces the private
    /// copy's content instead.
    void SetHandle(SpreadSheetCellStyleHandle* handle);

    void BeginUpdate();
    void EndUpdate();
    bool IsUpdating() const { return updateLockCount_ > 0; }

    /// Takes the handle of `source` (of the same workbook; other workbooks' styles are cloned).
    void Assign(const SpreadSheetCellStyle& source);
    /// The style a new cell takes from its column and row (either may be null = default style).
    void Merge(const SpreadSheetCellStyle* columnStyle, const SpreadSheetCellStyle* rowStyle);

    SpreadSheetDataAlignHorz AlignHorz() const { return Current()->AlignHorz; }
    int AlignHorzIndent() const { return Current()->AlignHorzIndent; }
    SpreadSheetDataAlignVert AlignVert() const { return Current()->AlignVert; }
    int Rotation() const { return Current()->Rotation; }
    bool Hidden() const { return HasState(csHidden); }
    bool Locked() const { return HasState(csLocked); }
    bool ShrinkToFit() const { return HasState(csShrinkToFit); }
    bool WordWrap() const { return HasState(csWordWrap); }
    bool IsDefault() const;

    void SetAlignHorz(SpreadSheetDataAlignHorz value);
    /// Clamped to 0..250.
    void SetAlignHorzIndent(int value);
    void SetAlignVert(SpreadSheetDataAlignVert value);
    void SetRotation(int value);
    void SetHidden(bool value) { SetState(csHidden, value); }
    void SetLocked(bool value) { SetState(csLocked, value); }
    void SetShrinkToFit(bool value) { SetState(csShrinkToFit, value); }
    void SetWordWrap(bool value) { SetState(csWordWrap, value); }
    /// Setting true applies the default style; false does nothing.
    void SetIsDefault(bool value);

    SpreadSheetCellBorder& Borders(SpreadSheetBorder side);
    SpreadSheetCellBrush& Brush();
    SpreadSheetCellDataFormat& DataFormat();
    SpreadSheetCellFont& Font();

    /// The content being shown: the private copy during an update, else the handle.
    const SpreadSheetCellStyleHandle* Current() const { return clone_ ? clone_.get() : handle_.Get(); }
    /// Runs `change` on the private copy inside one update (used by the wrappers).
    void Change(const std::function<void(SpreadSheetCellStyleHandle&)>& change);

protected:
    /// The outermost EndUpdate with a copy that differs from the handle: interns it and switches.
    virtual void CommitChanges(std::unique_ptr<SpreadSheetCellStyleHandle> changed);
    /// SetHandle outside an update.
    virtual void ApplyHandle(SpreadSheetCellStyleHandle* handle);
    /// Switches to an interned handle, telling the owner before and after.
    void ReplaceHandle(SpreadSheetCellStyleHandle* handle);

private:
    bool HasState(SpreadSheetCellState state) const { return (Current()->States & state) != 0; }
    void SetState(SpreadSheetCellState state, bool value);

    ISpreadSheetCellStyleOwner& owner_;
    SpreadSheetHandleRef<SpreadSheetCellStyleHandle> handle_;
    std::unique_ptr<SpreadSheetCellStyleHandle> clone_;
    int updateLockCount_ = 0;
    std::unique_ptr<SpreadSheetCellFont> font_;
    std::unique_ptr<SpreadSheetCellBrush> brush_;
    std::unique_ptr<SpreadSheetCellDataFormat> dataFormat_;
    std::array<std::unique_ptr<SpreadSheetCellBorder>, kBorderCount> borders_;
};

/// Style of a row or column item.
class SpreadSheetTableItemStyle final : public SpreadSheetCellStyle {
public:
    using SpreadSheetCellStyle::SpreadSheetCellStyle;
};

/// The workbook's default style: edits change the default handle in place (no copy), so every
/// cell and item that refers to it shows the change.
class SpreadSheetDefaultCellStyle final : public SpreadSheetCellStyle {
public:
    explicit SpreadSheetDefaultCellStyle(ISpreadSheetCellStyleOwner& owner);
    /// Back to the default sub-handles and values.
    void Reset();

protected:
    void CommitChanges(std::unique_ptr<SpreadSheetCellStyleHandle> changed) override;
    void ApplyHandle(SpreadSheetCellStyleHandle* handle) override;
};

// Owner processing helpers. Each returns an interned handle WITHOUT an added reference, to be
// stored through the owner's normal path (so that history and neighbour processing run).

/// The style of a new cell from its column's and row's styles (null = default style): the row's
/// style unless it is the default, else the column's; when the two differ, the top and bottom
/// borders come from the row and the left and right borders from the column.
SpreadSheetCellStyleHandle* MergeStyleHandles(
    SpreadSheetCellStyles& styles, SpreadSheetCellStyleHandle* columnStyle, SpreadSheetCellStyleHandle* rowStyle);

/// `target` with every attribute that differs between `prev` and `next` set to next's value;
/// attributes that are equal in `prev` and `next` keep target's value.
SpreadSheetCellStyleHandle* ApplyStyleDifferences(SpreadSheetCellStyles& styles, SpreadSheetCellStyleHandle* target,
    const SpreadSheetCellStyleHandle* prev, const SpreadSheetCellStyleHandle* next);

/// `target` with the attributes that differ between fonts `prev` and `next` (each style bit on its
/// own) set to next's value.
SpreadSheetFontHandle* ApplyFontDifferences(SpreadSheetFonts& fonts, SpreadSheetFontHandle* target,
    const SpreadSheetFontHandle* prev, const SpreadSheetFontHandle* next);

/// The rich string whose run fonts have the font change prev -> next applied; `value` itself when
/// it is plain or the fonts are equal.
SpreadSheetSharedString* RebuildRunFonts(SpreadSheetSharedStringTable& strings, SpreadSheetSharedString* value,
    const SpreadSheetFontHandle* prev, const SpreadSheetFontHandle* next);

/// `target` with one border side replaced.
SpreadSheetCellStyleHandle* SetStyleBorder(SpreadSheetCellStyles& styles, SpreadSheetCellStyleHandle* target,
    SpreadSheetBorder side, SpreadSheetColor color, SpreadSheetCellBorderStyle style);

/// Bit (1 << side) set for each border side whose colour or style differs.
unsigned DifferingBorders(const SpreadSheetCellStyleHandle* prev, const SpreadSheetCellStyleHandle* next);

/// A change that can alter the best row height or column width (format, font, states, borders).
bool StyleChangeAffectsBestFit(const SpreadSheetCellStyleHandle* prev, const SpreadSheetCellStyleHandle* next);

} // namespace quorvel
