#include "render/SpreadSheetCellPainter.h"

#include "model/SpreadSheetCell.h"

#include <QPainter>

namespace quorvel {

namespace {

constexpr int kTextIndentPixels = 3;

Qt::BrushStyle patternOf(SpreadSheetCellFillStyle style)
{
    switch (style) {
    case sscfsSolid:
        return Qt::SolidPattern;
    case sscfsGray75:
        return Qt::Dense2Pattern;
    case sscfsGray50:
        return Qt::Dense4Pattern;
    case sscfsGray25:
        return Qt::Dense5Pattern;
    case sscfsGray12:
    case sscfsGray6:
        return Qt::Dense6Pattern;
    case sscfsHorzStrip:
    case sscfsThinHorzStrip:
        return Qt::HorPattern;
    case sscfsVertStrip:
    case sscfsThinVertStrip:
        return Qt::VerPattern;
    case sscfsRevDiagonalStrip:
    case sscfsThinRevDiagonalStrip:
        return Qt::BDiagPattern;
    case sscfsDiagonalStrip:
    case sscfsThinDiagonalStrip:
        return Qt::FDiagPattern;
    case sscfsDiagCrossHatch:
    case sscfsThickCrossHatch:
    case sscfsThinDiagCrossHatch:
        return Qt::DiagCrossPattern;
    case sscfsThinThickCrossHatch:
        return Qt::CrossPattern;
    }
    return Qt::SolidPattern;
}

struct LineStyle {
    int width = 1;
    Qt::PenStyle pen = Qt::SolidLine;
    bool isDouble = false;
};

LineStyle lineStyleOf(SpreadSheetCellBorderStyle style)
{
    switch (style) {
    case sscbsHair:
        return { 1, Qt::DotLine, false };
    case sscbsDotted:
        return { 1, Qt::DotLine, false };
    case sscbsDashDotDot:
        return { 1, Qt::DashDotDotLine, false };
    case sscbsDashDot:
        return { 1, Qt::DashDotLine, false };
    case sscbsDashed:
        return { 1, Qt::DashLine, false };
    case sscbsMediumDashDotDot:
        return { 2, Qt::DashDotDotLine, false };
    case sscbsSlantedDashDot:
    case sscbsMediumDashDot:
        return { 2, Qt::DashDotLine, false };
    case sscbsMediumDashed:
        return { 2, Qt::DashLine, false };
    case sscbsMedium:
        return { 2, Qt::SolidLine, false };
    case sscbsThick:
        return { 3, Qt::SolidLine, false };
    case sscbsDouble:
        return { 1, Qt::SolidLine, true };
    default:
        return {};
    }
}

bool isPainted(SpreadSheetCellBorderStyle style) { return style != sscbsDefault && style != sscbsNone; }

} // namespace

QColor ToQColor(SpreadSheetColor color, const QColor& automatic)
{
    if (color == kDefaultColor)
        return automatic;
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
        static_cast<int>((color >> 16) & 0xFF));
}

QFont ToQFont(const SpreadSheetFontHandle& font, int zoomFactor)
{
    QFont result(font.Name);
    result.setPointSizeF(font.Size * zoomFactor / 100.0 * (font.Script == fsNone ? 1.0 : 0.66));
    result.setBold((font.Style & fsBold) != 0);
    result.setItalic((font.Style & fsItalic) != 0);
    result.setUnderline((font.Style & fsUnderline) != 0);
    result.setStrikeOut((font.Style & fsStrikeOut) != 0);
    return result;
}

SpreadSheetCellDisplay CellDisplay(const SpreadSheetCell& cell)
{
    // TODO: render values through their number formats once value formatting exists.
    SpreadSheetCellDisplay display { cell.AsString(), ssahLeft };
    // A formula aligns as its result does, unless the formula text itself is shown.
    SpreadSheetCellDataType type = cell.DataType();
    if (type == cdtFormula && !cell.ShowsFormulaText())
        type = cell.FormulaResult().type;
    switch (type) {
    case cdtCurrency:
    case cdtFloat:
    case cdtDateTime:
    case cdtInteger:
        display.generalAlign = ssahRight;
        break;
    case cdtBoolean:
    case cdtError:
        display.generalAlign = ssahCenter;
        break;
    default:
        break;
    }
    return display;
}

SpreadSheetCellPainter::SpreadSheetCellPainter(QPainter& painter, int zoomFactor)
    : painter_(painter)
    , zoomFactor_(zoomFactor)
{
}

void SpreadSheetCellPainter::PaintBackground(const QRect& rect, const SpreadSheetCellStyleHandle& style)
{
    const SpreadSheetBrushHandle& brush = *style.Brush();
    if (brush.Style == sscfsSolid) {
        if (brush.BackgroundColor != kDefaultColor)
            painter_.fillRect(rect, ToQColor(brush.BackgroundColor, Qt::white));
        return;
    }
    painter_.fillRect(rect, ToQColor(brush.BackgroundColor, Qt::white));
    painter_.fillRect(rect, QBrush(ToQColor(brush.ForegroundColor, Qt::black), patternOf(brush.Style)));
}

void SpreadSheetCellPainter::PaintText(
    const QRect& rect, const SpreadSheetCellStyleHandle& style, const SpreadSheetCellDisplay& display)
{
    if (display.text.isEmpty())
        return;
    const SpreadSheetFontHandle& font = *style.Font();
    int flags = 0;
    SpreadSheetDataAlignHorz horz = style.AlignHorz == ssahGeneral ? display.generalAlign : style.AlignHorz;
    switch (horz) {
    case ssahCenter:
    case ssahDistributed:
        flags |= Qt::AlignHCenter;
        break;
    case ssahRight:
        flags |= Qt::AlignRight;
        break;
    case ssahJustify:
        flags |= Qt::AlignJustify;
        break;
    default:
        flags |= Qt::AlignLeft;
        break;
    }
    switch (style.AlignVert) {
    case ssavTop:
        flags |= Qt::AlignTop;
        break;
    case ssavCenter:
    case ssavJustify:
    case ssavDistributed:
        flags |= Qt::AlignVCenter;
        break;
    default:
        flags |= Qt::AlignBottom;
        break;
    }
    if (style.States & csWordWrap)
        flags |= Qt::TextWordWrap;
    const int indent = (kTextIndentPixels + style.AlignHorzIndent * 9) * zoomFactor_ / 100;
    QRect textRect = rect.adjusted(horz == ssahRight ? 0 : indent, 1, horz == ssahRight ? -indent : 0, -1);
    if (horz == ssahCenter)
        textRect = rect.adjusted(1, 1, -1, -1);
    painter_.save();
    painter_.setClipRect(rect);
    painter_.setFont(ToQFont(font, zoomFactor_));
    painter_.setPen(ToQColor(font.Color, Qt::black));
    painter_.drawText(textRect, flags, display.text);
    painter_.restore();
}

void SpreadSheetCellPainter::PaintBorders(const QRect& rect, const SpreadSheetBordersHandle& borders)
{
    // A cell's rectangle stops short of the grid line that ends it, so its edges lie one pixel
    // outside the rectangle on every side.
    const int left = rect.left() - 1;
    const int top = rect.top() - 1;
    const int right = rect.right() + 1;
    const int bottom = rect.bottom() + 1;
    painter_.save();
    for (int i = 0; i < kBorderCount; ++i) {
        const auto side = static_cast<SpreadSheetBorder>(i);
        const SpreadSheetCellBorderStyle style = borders.Style(side);
        if (!isPainted(style))
            continue;
        const LineStyle line = lineStyleOf(style);
        QPen pen(ToQColor(borders.Color(side), Qt::black));
        pen.setStyle(line.pen);
        pen.setWidth(1);
        pen.setCapStyle(Qt::FlatCap);
        painter_.setPen(pen);
        const bool horizontal = side == bTop || side == bBottom;
        const int edge = side == bLeft ? left : side == bTop ? top : side == bRight ? right : bottom;
        const auto drawAt = [&](int offset) {
            if (horizontal)
                painter_.drawLine(left - 1, edge + offset, right + 1, edge + offset);
            else
                painter_.drawLine(edge + offset, top - 1, edge + offset, bottom + 1);
        };
        if (line.isDouble) {
            drawAt(-1);
            drawAt(1);
            continue;
        }
        // Wide lines grow around the edge: 2 pixels take the next line down or right, 3 both sides.
        const int first = -(line.width - 1) / 2;
        for (int k = 0; k < line.width; ++k)
            drawAt(first + k);
    }
    painter_.restore();
}

} // namespace quorvel
