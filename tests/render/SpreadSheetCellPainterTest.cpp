#include "render/SpreadSheetCellPainter.h"

#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetTableView.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(CellPainter, ColoursAreStoredAsBGR)
{
    EXPECT_EQ(ToQColor(0x000000FF, Qt::white), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(0x00FF0000, Qt::white), QColor(0, 0, 255));
    EXPECT_EQ(ToQColor(kDefaultColor, Qt::green), QColor(Qt::green));
}

TEST(CellPainter, GeneralAlignmentFollowsTheValueKind)
{
    SpreadSheet book;
    SpreadSheetTableView& sheet = *book.ActiveSheet();
    const struct {
        const char* text;
        SpreadSheetDataAlignHorz align;
    } cases[] = {
        { "12", ssahRight },
        { "12.5", ssahRight },
        { "abc", ssahLeft },
        { "TRUE", ssahCenter },
        { "#N/A", ssahCenter },
    };
    int row = 0;
    for (const auto& c : cases) {
        SpreadSheetCell* cell = sheet.CreateCell(row++, 0);
        cell->SetText(QString::fromUtf8(c.text));
        EXPECT_EQ(CellDisplay(*cell).generalAlign, c.align) << c.text;
    }
}

TEST(CellPainter, PaintsFillAndBordersOnTheCellEdges)
{
    SpreadSheet book;
    SpreadSheetCellStyles& styles = book.CellStyles();
    auto brush = std::make_unique<SpreadSheetBrushHandle>();
    brush->BackgroundColor = 0x0000FFFF; // yellow
    auto borders = std::make_unique<SpreadSheetBordersHandle>();
    borders->BorderStyle[static_cast<int>(bLeft)] = sscbsThick;
    borders->BorderColor[static_cast<int>(bLeft)] = 0x000000FF; // red
    SpreadSheetCellStyleHandle* style = styles.AddStyle(
        styles.CreateStyle(nullptr, nullptr, styles.Borders().AddBorders(std::move(borders)), styles.Brushes().AddBrush(std::move(brush))));

    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        SpreadSheetCellPainter cellPainter(painter);
        const QRect cell(10, 5, 20, 15); // the grid line before it is at x = 9
        cellPainter.PaintBackground(cell, *style);
        cellPainter.PaintBorders(cell, *style->Borders());
    }
    EXPECT_EQ(image.pixelColor(20, 12), QColor(255, 255, 0));
    for (int x : { 8, 9, 10 })
        EXPECT_EQ(image.pixelColor(x, 12), QColor(255, 0, 0)) << x;
    EXPECT_EQ(image.pixelColor(11, 12), QColor(255, 255, 0));
    EXPECT_EQ(image.pixelColor(5, 12), QColor(Qt::white));
}

} // namespace
} // namespace quorvel
