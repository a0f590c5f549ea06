#include "model/SpreadSheetStyles.h"

#include <algorithm>
#include <cstdlib>

namespace quorvel {

namespace {

constexpr int kScreenPixelsPerInch = 96;
constexpr int kPointsPerInch = 72;

int sideIndex(SpreadSheetBorder side) { return static_cast<int>(side); }

/// Applies `mutate` to a copy of one sub-handle of the style's private copy and stores the
/// re-interned result, all inside one update of the style.
template <class Handle, class Mutate>
void changeSubHandle(SpreadSheetCellStyle& style, Handle* (SpreadSheetCellStyleHandle::*get)() const,
    void (SpreadSheetCellStyleHandle::*set)(Handle*), Handle* (*add)(SpreadSheetCellStyles&, std::unique_ptr<Handle>),
    Mutate mutate)
{
    style.Change([&](SpreadSheetCellStyleHandle& handle) {
        auto copy = (handle.*get)()->Clone();
        mutate(*copy);
        (handle.*set)(add(style.CellStyles(), std::move(copy)));
    });
}

SpreadSheetFontHandle* addFont(SpreadSheetCellStyles& styles, std::unique_ptr<SpreadSheetFontHandle> handle)
{
    return styles.Fonts().AddFont(std::move(handle));
}

SpreadSheetBrushHandle* addBrush(SpreadSheetCellStyles& styles, std::unique_ptr<SpreadSheetBrushHandle> handle)
{
    return styles.Brushes().AddBrush(std::move(handle));
}

SpreadSheetBordersHandle* addBorders(SpreadSheetCellStyles& styles, std::unique_ptr<SpreadSheetBordersHandle> handle)
{
    return styles.Borders().AddBorders(std::move(handle));
}

template <class Mutate>
void changeFont(SpreadSheetCellStyle& style, Mutate mutate)
{
    changeSubHandle(style, &SpreadSheetCellStyleHandle::Font, &SpreadSheetCellStyleHandle::SetFont, addFont, mutate);
}

template <class Mutate>
void changeBrush(SpreadSheetCellStyle& style, Mutate mutate)
{
    changeSubHandle(style, &SpreadSheetCellStyleHandle::Brush, &SpreadSheetCellStyleHandle::SetBrush, addBrush, mutate);
}

template <class Mutate>
void changeBorders(SpreadSheetCellStyle& style, Mutate mutate)
{
    changeSubHandle(
        style, &SpreadSheetCellStyleHandle::Borders, &SpreadSheetCellStyleHandle::SetBorders, addBorders, mutate);
}

template <class T>
void takeIfChanged(T& target, const T& prev, const T& next)
{
    if (prev != next)
        target = next;
}

} // namespace

// Wrappers

SpreadSheetFontHandle* SpreadSheetCellFont::Handle() const { return style_.Current()->Font(); }

int SpreadSheetCellFont::Height() const { return -(Size() * kScreenPixelsPerInch + kPointsPerInch / 2) / kPointsPerInch; }

void SpreadSheetCellFont::SetName(const QString& value)
{
    if (Name() != value)
        changeFont(style_, [&](SpreadSheetFontHandle& font) { font.Name = value; });
}

void SpreadSheetCellFont::SetCharset(std::uint8_t value)
{
    if (Charset() != value)
        changeFont(style_, [&](SpreadSheetFontHandle& font) { font.Charset = value; });
}

void SpreadSheetCellFont::SetColor(SpreadSheetColor value)
{
    if (Color() != value)
        changeFont(style_, [&](SpreadSheetFontHandle& font) { font.Color = value; });
}

void SpreadSheetCellFont::SetSize(int value)
{
    if (Size() != value)
        changeFont(style_, [&](SpreadSheetFontHandle& font) { font.Size = value; });
}

void SpreadSheetCellFont::SetHeight(int value)
{
    SetSize((std::abs(value) * kPointsPerInch + kScreenPixelsPerInch / 2) / kScreenPixelsPerInch);
}

void SpreadSheetCellFont::SetPitch(std::uint8_t value)
{
    if (Pitch() != value)
        changeFont(style_, [&](SpreadSheetFontHandle& font) { font.Pitch = value; });
}

void SpreadSheetCellFont::SetStyle(SpreadSheetFontStyles value)
{
    if (Style() != value)
        changeFont(style_, [&](SpreadSheetFontHandle& font) { font.Style = value; });
}

void SpreadSheetCellFont::SetScript(SpreadSheetFontScript value)
{
    if (Script() != value)
        changeFont(style_, [&](SpreadSheetFontHandle& font) { font.Script = value; });
}

void SpreadSheetCellFont::Assign(const SpreadSheetFontHandle* source)
{
    SpreadSheetFontHandle* font = style_.CellStyles().Fonts().AddClone(source);
    if (font != Handle())
        style_.Change([&](SpreadSheetCellStyleHandle& handle) { handle.SetFont(font); });
}

SpreadSheetBrushHandle* SpreadSheetCellBrush::Handle() const { return style_.Current()->Brush(); }

void SpreadSheetCellBrush::SetBackgroundColor(SpreadSheetColor value)
{
    if (BackgroundColor() != value)
        changeBrush(style_, [&](SpreadSheetBrushHandle& brush) { brush.BackgroundColor = value; });
}

void SpreadSheetCellBrush::SetForegroundColor(SpreadSheetColor value)
{
    if (ForegroundColor() != value)
        changeBrush(style_, [&](SpreadSheetBrushHandle& brush) { brush.ForegroundColor = value; });
}

void SpreadSheetCellBrush::SetStyle(SpreadSheetCellFillStyle value)
{
    if (Style() != value)
        changeBrush(style_, [&](SpreadSheetBrushHandle& brush) { brush.Style = value; });
}

SpreadSheetColor SpreadSheetCellBorder::Color() const { return style_.Current()->Borders()->Color(side_); }

SpreadSheetCellBorderStyle SpreadSheetCellBorder::Style() const { return style_.Current()->Borders()->Style(side_); }

void SpreadSheetCellBorder::SetColor(SpreadSheetColor value)
{
    if (Color() != value)
        changeBorders(style_, [&](SpreadSheetBordersHandle& borders) { borders.BorderColor[sideIndex(side_)] = value; });
}

void SpreadSheetCellBorder::SetStyle(SpreadSheetCellBorderStyle value)
{
    if (Style() != value)
        changeBorders(style_, [&](SpreadSheetBordersHandle& borders) { borders.BorderStyle[sideIndex(side_)] = value; });
}

void SpreadSheetCellBorder::Reset()
{
    style_.BeginUpdate();
    SetColor(kDefaultColor);
    SetStyle(sscbsDefault);
    style_.EndUpdate();
}

SpreadSheetFormatHandle* SpreadSheetCellDataFormat::Handle() const { return style_.Current()->DataFormat(); }

void SpreadSheetCellDataFormat::SetFormatCode(const QString& value)
{
    if (FormatCode() == value)
        return;
    SpreadSheetFormatHandle* format = style_.CellStyles().Formats().AddFormat(value);
    if (format != Handle())
        style_.Change([&](SpreadSheetCellStyleHandle& handle) { handle.SetDataFormat(format); });
}

void SpreadSheetCellDataFormat::SetFormatCodeID(int value)
{
    SpreadSheetFormatHandle* format = style_.CellStyles().Formats().AddFormatByID(value);
    if (format != Handle())
        style_.Change([&](SpreadSheetCellStyleHandle& handle) { handle.SetDataFormat(format); });
}

// Style object

SpreadSheetCellStyle::SpreadSheetCellStyle(ISpreadSheetCellStyleOwner& owner, SpreadSheetCellStyleHandle* handle)
    : owner_(owner)
    , handle_(handle ? handle : owner.CellStyles().DefaultStyle())
{
}

SpreadSheetCellStyle::~SpreadSheetCellStyle() = default;

void SpreadSheetCellStyle::SetHandle(SpreadSheetCellStyleHandle* handle)
{
    if (!handle)
        handle = CellStyles().DefaultStyle();
    if (handle->Table() != &CellStyles())
        handle = CellStyles().AddClone(handle);
    if (IsUpdating())
        clone_->Assign(*handle);
    else
        ApplyHandle(handle);
}

void SpreadSheetCellStyle::BeginUpdate()
{
    if (updateLockCount_++ == 0)
        clone_ = handle_->Clone();
}

void SpreadSheetCellStyle::EndUpdate()
{
    if (--updateLockCount_ > 0)
        return;
    std::unique_ptr<SpreadSheetCellStyleHandle> changed = std::move(clone_);
    if (!changed->IsEqual(*handle_))
        CommitChanges(std::move(changed));
}

void SpreadSheetCellStyle::Change(const std::function<void(SpreadSheetCellStyleHandle&)>& change)
{
    BeginUpdate();
    try {
        change(*clone_);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void SpreadSheetCellStyle::CommitChanges(std::unique_ptr<SpreadSheetCellStyleHandle> changed)
{
    ReplaceHandle(CellStyles().AddStyle(std::move(changed)));
}

void SpreadSheetCellStyle::ApplyHandle(SpreadSheetCellStyleHandle* handle) { ReplaceHandle(handle); }

void SpreadSheetCellStyle::ReplaceHandle(SpreadSheetCellStyleHandle* handle)
{
    if (handle == handle_.Get())
        return;
    owner_.StyleChanging();
    const SpreadSheetHandleRef<SpreadSheetCellStyleHandle> prev = handle_; // alive until processed
    handle_.Reset(handle);
    owner_.ProcessStyleChanged(prev.Get(), handle);
    owner_.StyleChanged();
}

void SpreadSheetCellStyle::Assign(const SpreadSheetCellStyle& source) { SetHandle(source.Handle()); }

void SpreadSheetCellStyle::Merge(const SpreadSheetCellStyle* columnStyle, const SpreadSheetCellStyle* rowStyle)
{
    SetHandle(MergeStyleHandles(CellStyles(), columnStyle ? columnStyle->Handle() : nullptr,
        rowStyle ? rowStyle->Handle() : nullptr));
}

bool SpreadSheetCellStyle::IsDefault() const { return Current()->IsDefault(); }

void SpreadSheetCellStyle::SetAlignHorz(SpreadSheetDataAlignHorz value)
{
    if (AlignHorz() != value)
        Change([&](SpreadSheetCellStyleHandle& handle) { handle.AlignHorz = value; });
}

void SpreadSheetCellStyle::SetAlignHorzIndent(int value)
{
    value = std::clamp(value, 0, kMaxAlignHorzIndent);
    if (AlignHorzIndent() != value)
        Change([&](SpreadSheetCellStyleHandle& handle) { handle.AlignHorzIndent = static_cast<std::int16_t>(value); });
}

void SpreadSheetCellStyle::SetAlignVert(SpreadSheetDataAlignVert value)
{
    if (AlignVert() != value)
        Change([&](SpreadSheetCellStyleHandle& handle) { handle.AlignVert = value; });
}

void SpreadSheetCellStyle::SetRotation(int value)
{
    if (Rotation() != value)
        Change([&](SpreadSheetCellStyleHandle& handle) { handle.Rotation = static_cast<std::int16_t>(value); });
}

void SpreadSheetCellStyle::SetState(SpreadSheetCellState state, bool value)
{
    if (HasState(state) == value)
        return;
    Change([&](SpreadSheetCellStyleHandle& handle) {
        handle.States = value ? (handle.States | state) : (handle.States & ~state);
    });
}

void SpreadSheetCellStyle::SetIsDefault(bool value)
{
    if (value)
        SetHandle(CellStyles().DefaultStyle());
}

SpreadSheetCellBorder& SpreadSheetCellStyle::Borders(SpreadSheetBorder side)
{
    auto& border = borders_[static_cast<std::size_t>(sideIndex(side))];
    if (!border)
        border = std::make_unique<SpreadSheetCellBorder>(*this, side);
    return *border;
}

SpreadSheetCellBrush& SpreadSheetCellStyle::Brush()
{
    if (!brush_)
        brush_ = std::make_unique<SpreadSheetCellBrush>(*this);
    return *brush_;
}

SpreadSheetCellDataFormat& SpreadSheetCellStyle::DataFormat()
{
    if (!dataFormat_)
        dataFormat_ = std::make_unique<SpreadSheetCellDataFormat>(*this);
    return *dataFormat_;
}

SpreadSheetCellFont& SpreadSheetCellStyle::Font()
{
    if (!font_)
        font_ = std::make_unique<SpreadSheetCellFont>(*this);
    return *font_;
}

SpreadSheetDefaultCellStyle::SpreadSheetDefaultCellStyle(ISpreadSheetCellStyleOwner& owner)
    : SpreadSheetCellStyle(owner, owner.CellStyles().DefaultStyle())
{
}

void SpreadSheetDefaultCellStyle::Reset()
{
    CellStyles().ResetDefaultStyle();
    Owner().StyleChanged();
}

void SpreadSheetDefaultCellStyle::CommitChanges(std::unique_ptr<SpreadSheetCellStyleHandle> changed)
{
    CellStyles().SetDefaultStyleContent(*changed);
    Owner().StyleChanged();
}

void SpreadSheetDefaultCellStyle::ApplyHandle(SpreadSheetCellStyleHandle* handle)
{
    Change([&](SpreadSheetCellStyleHandle& content) { content.Assign(*handle); });
}

// Owner processing helpers

SpreadSheetCellStyleHandle* MergeStyleHandles(
    SpreadSheetCellStyles& styles, SpreadSheetCellStyleHandle* columnStyle, SpreadSheetCellStyleHandle* rowStyle)
{
    SpreadSheetCellStyleHandle* defaultStyle = styles.DefaultStyle();
    if (!columnStyle)
        columnStyle = defaultStyle;
    if (!rowStyle)
        rowStyle = defaultStyle;
    SpreadSheetCellStyleHandle* base = rowStyle != defaultStyle ? rowStyle : columnStyle;
    if (columnStyle == rowStyle)
        return base;
    auto borders = base->Borders()->Clone();
    for (SpreadSheetBorder side : { bLeft, bTop, bRight, bBottom }) {
        const bool vertical = side == bLeft || side == bRight;
        const SpreadSheetBordersHandle* source = (vertical ? columnStyle : rowStyle)->Borders();
        borders->BorderColor[sideIndex(side)] = source->Color(side);
        borders->BorderStyle[sideIndex(side)] = source->Style(side);
    }
    auto result = base->Clone();
    result->SetBorders(styles.Borders().AddBorders(std::move(borders)));
    return styles.AddStyle(std::move(result));
}

SpreadSheetFontHandle* ApplyFontDifferences(SpreadSheetFonts& fonts, SpreadSheetFontHandle* target,
    const SpreadSheetFontHandle* prev, const SpreadSheetFontHandle* next)
{
    if (prev == next)
        return target;
    auto font = target->Clone();
    takeIfChanged(font->Charset, prev->Charset, next->Charset);
    takeIfChanged(font->Color, prev->Color, next->Color);
    takeIfChanged(font->Name, prev->Name, next->Name);
    takeIfChanged(font->Pitch, prev->Pitch, next->Pitch);
    takeIfChanged(font->Script, prev->Script, next->Script);
    takeIfChanged(font->Size, prev->Size, next->Size);
    const SpreadSheetFontStyles switched = prev->Style ^ next->Style;
    font->Style = static_cast<SpreadSheetFontStyles>((font->Style & ~switched) | (next->Style & switched));
    return fonts.AddFont(std::move(font));
}

SpreadSheetCellStyleHandle* ApplyStyleDifferences(SpreadSheetCellStyles& styles, SpreadSheetCellStyleHandle* target,
    const SpreadSheetCellStyleHandle* prev, const SpreadSheetCellStyleHandle* next)
{
    if (prev == next)
        return target;
    auto result = target->Clone();
    takeIfChanged(result->AlignHorz, prev->AlignHorz, next->AlignHorz);
    takeIfChanged(result->AlignHorzIndent, prev->AlignHorzIndent, next->AlignHorzIndent);
    takeIfChanged(result->AlignVert, prev->AlignVert, next->AlignVert);

    if (prev->Brush() != next->Brush()) {
        auto brush = result->Brush()->Clone();
        takeIfChanged(brush->BackgroundColor, prev->Brush()->BackgroundColor, next->Brush()->BackgroundColor);
        takeIfChanged(brush->ForegroundColor, prev->Brush()->ForegroundColor, next->Brush()->ForegroundColor);
        takeIfChanged(brush->Style, prev->Brush()->Style, next->Brush()->Style);
        result->SetBrush(styles.Brushes().AddBrush(std::move(brush)));
    }

    result->SetFont(ApplyFontDifferences(styles.Fonts(), result->Font(), prev->Font(), next->Font()));

    if (prev->Borders() != next->Borders()) {
        auto borders = result->Borders()->Clone();
        for (int side = 0; side < kBorderCount; ++side) {
            takeIfChanged(borders->BorderColor[side], prev->Borders()->BorderColor[side],
                next->Borders()->BorderColor[side]);
            takeIfChanged(borders->BorderStyle[side], prev->Borders()->BorderStyle[side],
                next->Borders()->BorderStyle[side]);
        }
        result->SetBorders(styles.Borders().AddBorders(std::move(borders)));
    }

    const SpreadSheetCellStates switched = prev->States ^ next->States;
    result->States = static_cast<SpreadSheetCellStates>((result->States & ~switched) | (next->States & switched));

    if (prev->DataFormat() != next->DataFormat())
        result->SetDataFormat(next->DataFormat());
    return styles.AddStyle(std::move(result));
}

SpreadSheetSharedString* RebuildRunFonts(SpreadSheetSharedStringTable& strings, SpreadSheetSharedString* value,
    const SpreadSheetFontHandle* prev, const SpreadSheetFontHandle* next)
{
    if (!value->IsFormatted() || prev == next)
        return value;
    auto result = std::make_unique<SpreadSheetFormattedSharedString>(value->Value());
    for (const auto& run : static_cast<const SpreadSheetFormattedSharedString*>(value)->Runs()) {
        result->AddRun(
            run.StartIndex, ApplyFontDifferences(strings.Fonts(), run.FontHandle.Get(), prev, next), run.Tag);
    }
    return strings.Add(std::move(result));
}

SpreadSheetCellStyleHandle* SetStyleBorder(SpreadSheetCellStyles& styles, SpreadSheetCellStyleHandle* target,
    SpreadSheetBorder side, SpreadSheetColor color, SpreadSheetCellBorderStyle style)
{
    if (target->Borders()->Color(side) == color && target->Borders()->Style(side) == style)
        return target;
    auto borders = target->Borders()->Clone();
    borders->BorderColor[sideIndex(side)] = color;
    borders->BorderStyle[sideIndex(side)] = style;
    auto result = target->Clone();
    result->SetBorders(styles.Borders().AddBorders(std::move(borders)));
    return styles.AddStyle(std::move(result));
}

unsigned DifferingBorders(const SpreadSheetCellStyleHandle* prev, const SpreadSheetCellStyleHandle* next)
{
    unsigned result = 0;
    if (prev->Borders() == next->Borders())
        return result;
    for (SpreadSheetBorder side : { bLeft, bTop, bRight, bBottom }) {
        if (prev->Borders()->Color(side) != next->Borders()->Color(side)
            || prev->Borders()->Style(side) != next->Borders()->Style(side))
            result |= 1u << sideIndex(side);
    }
    return result;
}

bool StyleChangeAffectsBestFit(const SpreadSheetCellStyleHandle* prev, const SpreadSheetCellStyleHandle* next)
{
    return prev->DataFormat() != next->DataFormat() || prev->Font() != next->Font() || prev->States != next->States
        || prev->Borders() != next->Borders();
}

} // namespace quorvel
