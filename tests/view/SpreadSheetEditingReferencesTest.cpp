#include "view/SpreadSheetEditingReferences.h"

#include "formulas/SpreadSheetFormula.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetTableView.h"
#include "resources/ResourceString.h"
#include "view/SpreadSheetCellEditor.h"
#include "view/SpreadSheetControl.h"
#include "view/SpreadSheetGridView.h"
#include "view/SpreadSheetTableViewSelection.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QTextCharFormat>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace quorvel {
namespace {

int ColorIndex(const QColor& color)
{
    for (int i = 0; i < 8; ++i)
        if (EditingReferenceColor(i) == color)
            return i;
    return -1;
}

// "1+2:0": start in the editor text, length and palette index of each reference.
QString Describe(const std::vector<SpreadSheetEditingReference>& references)
{
    QStringList items;
    for (const SpreadSheetEditingReference& reference : references)
        items << QStringLiteral("%1+%2:%3").arg(reference.Start).arg(reference.Length).arg(ColorIndex(reference.Color));
    return items.join(QStringLiteral(", "));
}

TEST(SpreadSheetEditingReferencesTest, ThePaletteCyclesThroughDistinctColours)
{
    EXPECT_EQ(EditingReferenceColor(0), QColor(Qt::blue));
    EXPECT_EQ(EditingReferenceColor(1), QColor(Qt::red));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(EditingReferenceColor(i + 8), EditingReferenceColor(i));
        for (int j = 0; j < i; ++j)
            EXPECT_NE(EditingReferenceColor(i), EditingReferenceColor(j)) << i << " " << j;
    }
}

TEST(SpreadSheetEditingReferencesTest, ReferencesTakeColoursInOrderAndAnAreaKeepsItsColour)
{
    Localizer::Reset();
    SpreadSheet book(QStringLiteral("en_US"));
    book.AddSheet(QStringLiteral("Data"));
    const struct {
        const char* text;
        const char* references;
    } cases[] = {
        { "=A1+B2*A1", "1+2:0, 4+2:1, 7+2:0" },
        { "=SUM(A1:B2,C3", "5+5:0, 11+2:1" },
        { "=A1:B2+B2:A1+$A$1", "1+5:0, 7+5:0, 13+4:1" },
        { "=A1+A2+A3+A4+A5+A6+A7+A8+A9+A1",
            "1+2:0, 4+2:1, 7+2:2, 10+2:3, 13+2:4, 16+2:5, 19+2:6, 22+2:7, 25+2:0, 28+2:0" },
        { "=Data!A1+B1", "9+2:0" },
        { "=1+2", "" },
        { "A1+B2", "" },
        { "'=A1", "" },
        { "=\"A1", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Describe(ColorFormulaReferences(*book.Sheets(0), 0, 0, QString::fromUtf8(c.text))),
            QString::fromUtf8(c.references));
    }

    // The grid frames each distinct area once.
    const std::vector<SpreadSheetReferenceFrame> frames
        = ReferenceFrames(ColorFormulaReferences(*book.Sheets(0), 0, 0, QStringLiteral("=A1+B2:C3+A1+C3:B2")));
    const std::vector<SpreadSheetReferenceFrame> expected {
        { { 0, 0, 0, 0 }, EditingReferenceColor(0) },
        { { 1, 1, 2, 2 }, EditingReferenceColor(1) },
    };
    EXPECT_EQ(frames, expected);
}

// Pixels of `image` inside `rect` whose colour leans clearly towards `color`.
int PixelsLike(const QImage& image, const QRect& rect, const QColor& color)
{
    int count = 0;
    const QRect bounds = rect.intersected(image.rect());
    for (int y = bounds.top(); y <= bounds.bottom(); ++y) {
        for (int x = bounds.left(); x <= bounds.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            const int distance = std::abs(pixel.red() - color.red()) + std::abs(pixel.green() - color.green())
                + std::abs(pixel.blue() - color.blue());
            const bool grey = std::abs(pixel.red() - pixel.green()) < 40 && std::abs(pixel.green() - pixel.blue()) < 40;
            count += distance < 200 && !grey ? 1 : 0;
        }
    }
    return count;
}

class SpreadSheetGridEditingReferencesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Localizer::Reset();
        control_ = std::make_unique<SpreadSheetControl>();
        control_->resize(640, 400);
        control_->show();
        grid_ = control_->Grid();
    }

    std::vector<SpreadSheetReferenceFrame> Frames() const { return ReferenceFrames(grid_->EditingReferences()); }

    std::unique_ptr<SpreadSheetControl> control_;
    SpreadSheetGridView* grid_ = nullptr;
};

TEST_F(SpreadSheetGridEditingReferencesTest, TypingAFormulaColoursItsReferencesAndFramesTheirCells)
{
    grid_->HandleKey(0, Qt::NoModifier, QStringLiteral("="));
    ASSERT_TRUE(grid_->IsEditing());
    SpreadSheetCellEditor* editor = grid_->Editor();
    EXPECT_TRUE(grid_->EditingReferences().empty());

    // Every keystroke lists the references again.
    editor->insert(QStringLiteral("B2"));
    EXPECT_EQ(Describe(grid_->EditingReferences()), QStringLiteral("1+2:0"));
    editor->insert(QStringLiteral("+C3:D4"));
    EXPECT_EQ(Describe(grid_->EditingReferences()), QStringLiteral("1+2:0, 4+5:1"));
    EXPECT_EQ(editor->cursorPosition(), editor->text().size());
    ASSERT_EQ(editor->TextFormats().size(), 2);
    EXPECT_EQ(editor->TextFormats()[1].start, 4);
    EXPECT_EQ(editor->TextFormats()[1].length, 5);
    EXPECT_EQ(editor->TextFormats()[1].format.foreground().color(), EditingReferenceColor(1));
    const std::vector<SpreadSheetReferenceFrame> expected {
        { { 1, 1, 1, 1 }, EditingReferenceColor(0) },
        { { 2, 2, 3, 3 }, EditingReferenceColor(1) },
    };
    EXPECT_EQ(Frames(), expected);

    // The editor draws the reference texts in their colours and the grid frames their cells.
    QApplication::processEvents();
    const QImage text = editor->grab().toImage();
    EXPECT_GT(PixelsLike(text, text.rect(), EditingReferenceColor(0)), 0);
    EXPECT_GT(PixelsLike(text, text.rect(), EditingReferenceColor(1)), 0);
    const QImage cells = grid_->viewport()->grab().toImage();
    const QRect b2 = grid_->CellRect(1, 1);
    EXPECT_GT(PixelsLike(cells, QRect(b2.left() - 1, b2.center().y(), 3, 1), EditingReferenceColor(0)), 0);
    const QRect d4 = grid_->CellRect(3, 3);
    EXPECT_GT(PixelsLike(cells, QRect(d4.right() - 1, d4.center().y(), 3, 1), EditingReferenceColor(1)), 0);

    // Text that is no longer a formula loses the colours.
    editor->setText(QStringLiteral("B2+C3"));
    EXPECT_TRUE(grid_->EditingReferences().empty());
    EXPECT_TRUE(editor->TextFormats().isEmpty());
    QApplication::processEvents();
    const QImage plain = editor->grab().toImage();
    EXPECT_EQ(PixelsLike(plain, plain.rect(), EditingReferenceColor(0)), 0);

    // Leaving the editor removes the frames.
    editor->setText(QStringLiteral("=B2"));
    EXPECT_EQ(Frames().size(), 1u);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(editor, &escape);
    EXPECT_FALSE(grid_->IsEditing());
    EXPECT_TRUE(Frames().empty());
}

TEST_F(SpreadSheetGridEditingReferencesTest, EditingAFormulaCellListsItsReferencesAtOnce)
{
    SpreadSheetTableView* sheet = control_->Book().ActiveSheet();
    sheet->CreateCell(4, 0)->SetText(QStringLiteral("=A1+SUM(B1:B3)"), true);
    control_->Selection().SetFocusedCell(4, 0);
    grid_->HandleKey(Qt::Key_F2, Qt::NoModifier);
    ASSERT_TRUE(grid_->IsEditing());
    EXPECT_EQ(Describe(grid_->EditingReferences()), QStringLiteral("1+2:0, 8+5:1"));

    // The colours follow the text without moving the caret or dropping the selection.
    grid_->Editor()->setSelection(1, 2);
    grid_->Editor()->SetTextFormats(grid_->Editor()->TextFormats());
    EXPECT_EQ(grid_->Editor()->selectedText(), QStringLiteral("A1"));

    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(grid_->Editor(), &enter);
    EXPECT_FALSE(grid_->IsEditing());
    EXPECT_TRUE(grid_->EditingReferences().empty());
    EXPECT_EQ(sheet->GetCell(4, 0)->AsFormula()->AsText(), QStringLiteral("=A1+SUM(B1:B3)"));
}

} // namespace
} // namespace quorvel
