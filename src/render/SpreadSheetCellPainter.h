#pragma once

#include "model/SpreadSheetCoreStyles.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

namespace quorvel {

class SpreadSheetCell;

/// A colour of the model (0x00BBGGRR); the automatic colour gives `automatic`.
QColor ToQColor(SpreadSheetColor color, const QColor& automatic);
/// The Qt font of a font handle at a zoom factor in percent.
QFont ToQFont(const SpreadSheetFontHandle& font, int zoomFactor = 100);

/// What a cell shows: its text and how general alignment places it.
struct SpreadSheetCellDisplay {
    QString text;
    SpreadSheetDataAlignHorz generalAlign = ssahLeft;
};
/// Numbers and dates go right, Booleans and errors in the middle, text left.
SpreadSheetCellDisplay CellDisplay(const SpreadSheetCell& cell);

/// Paints one cell in the parts the grid and printing share. The rectangle is the cell's own area;
/// borders are centred on its edges, so they are painted after every fill of the neighbours.
class SpreadSheetCellPainter {
public:
    explicit SpreadSheetCellPainter(QPainter& painter, int zoomFactor = 100);

    void PaintBackground(const QRect& rect, const SpreadSheetCellStyleHandle& style);
    void PaintText(const QRect& rect, const SpreadSheetCellStyleHandle& style, const SpreadSheetCellDisplay& display);
    void PaintBorders(const QRect& rect, const SpreadSheetBordersHandle& borders);

private:
    QPainter& painter_;
    int zoomFactor_;
};

} // namespace quorvel
