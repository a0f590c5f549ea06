#include "SpreadSheetTestSupport.h"

#include "model/SpreadSheetCoreStyles.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetStyles.h"
#include "model/SpreadSheetTableItems.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::MakeBook;
using test::MakeBookWithHistory;
using test::Type;

QString text(SpreadSheet& book, int row, int column)
{
    const SpreadSheetCell* cell = book.ActiveSheet()->GetCell(row, column);
    return cell ? cell->AsString() : QStringLiteral("<none>");
}

TEST(SpreadSheetHistory, OffByDefault)
{
    auto book = MakeBook();
    Type(*book, 0, 0, "1");
    EXPECT_EQ(book->History().UndoActionCount(), 0);
}

TEST(SpreadSheetHistory, UndoRedoRestoresValueStyleAndExistence)
{
    auto book = MakeBookWithHistory();
    Type(*book, 0, 0, "1/2/2024"); // value and automatic date format in one step
    ASSERT_EQ(book->History().UndoActionCount(), 1);
    EXPECT_EQ(book->History().UndoActions(0)->Description(), "Cell Editing");
    book->History().Undo();
    EXPECT_EQ(book->ActiveSheet()->GetCell(0, 0), nullptr);
    EXPECT_EQ(book->ActiveSheet()->Rows().Items(0), nullptr);
    book->History().Redo();
    SpreadSheetCell* cell = book->ActiveSheet()->GetCell(0, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->DataType(), cdtDateTime);
    EXPECT_EQ(cell->StyleHandle()->DataFormat()->FormatCodeID, 14);
    // Swaps toggle between the same two states any number of times.
    for (int i = 0; i < 3; ++i) {
        book->History().Undo();
        book->History().Redo();
    }
    EXPECT_EQ(text(*book, 0, 0), "1/2/2024");
}

TEST(SpreadSheetHistory, JoiningRules)
{
    auto book = MakeBookWithHistory();
    Type(*book, 0, 0, "5");
    Type(*book, 0, 1, "1");
    Type(*book, 0, 0, "7");
    Type(*book, 0, 0, "8"); // same cell again: joins the previous step
    EXPECT_EQ(book->History().UndoActionCount(), 3);
    book->History().Undo();
    EXPECT_EQ(text(*book, 0, 0), "5");
    book->History().Undo(2);
    EXPECT_EQ(text(*book, 0, 0), "<none>");
    EXPECT_EQ(book->History().RedoActionCount(), 3);
    // A new change drops what could be redone.
    Type(*book, 3, 3, "x");
    EXPECT_EQ(book->History().RedoActionCount(), 0);
}

TEST(SpreadSheetHistory, BracketsMakeOneStepAndOneRecalculation)
{
    auto book = MakeBookWithHistory();
    int recalculations = 0;
    int historyChanges = 0;
    book->RecalculateHook = [&] { ++recalculations; };
    book->OnHistoryChanged = [&] { ++historyChanges; };
    SpreadSheetHistory& history = book->History();
    history.BeginAction(SpreadSheetHistoryActionKind::PasteCells);
    for (int i = 0; i < 10; ++i)
        Type(*book, i, 0, QString::number(i));
    history.EndAction();
    EXPECT_EQ(history.UndoActionCount(), 1);
    EXPECT_EQ(historyChanges, 1);
    // An empty bracket records nothing and says nothing.
    history.BeginAction(SpreadSheetHistoryActionKind::EditCell);
    history.EndAction();
    EXPECT_EQ(history.UndoActionCount(), 1);
    EXPECT_EQ(historyChanges, 1);
    // A canceled bracket is dropped.
    history.BeginAction(SpreadSheetHistoryActionKind::EditCell);
    Type(*book, 20, 0, "x");
    history.EndAction(true);
    EXPECT_EQ(history.UndoActionCount(), 1);

    Type(*book, 30, 0, "y");
    recalculations = 0;
    history.Undo(2);
    EXPECT_EQ(recalculations, 1);
    EXPECT_EQ(text(*book, 5, 0), "<none>");
    EXPECT_EQ(text(*book, 20, 0), "x");
}

TEST(SpreadSheetHistory, MaxActionCountTrims)
{
    auto book = MakeBookWithHistory();
    book->History().SetMaxActionCount(3);
    for (int i = 0; i < 4; ++i)
        Type(*book, i, i, "v");
    EXPECT_EQ(book->History().UndoActionCount(), 3);
    book->History().SetMaxActionCount(1);
    EXPECT_EQ(book->History().UndoActionCount(), 1);
    book->History().SetMaxActionCount(-5);
    EXPECT_EQ(book->History().MaxActionCount(), 0);
}

TEST(SpreadSheetHistory, SheetOperationsClearIt)
{
    auto book = MakeBookWithHistory();
    Type(*book, 0, 0, "1");
    book->AddSheet();
    EXPECT_EQ(book->History().UndoActionCount(), 0);
    Type(*book, 0, 0, "1");
    book->SetHistoryEnabled(false);
    book->SetHistoryEnabled(true);
    EXPECT_EQ(book->History().UndoActionCount(), 0);
}

TEST(SpreadSheetHistory, RowSizesUndo)
{
    auto book = MakeBookWithHistory();
    SpreadSheetTableRow* row = book->ActiveSheet()->Rows().CreateItem(2);
    row->SetSize(40);
    book->ActiveSheet()->Rows().SetDefaultSize(25);
    EXPECT_EQ(book->History().UndoActionCount(), 2);
    EXPECT_EQ(book->History().UndoActions(0)->Description(), "Change Row/Column");
    book->History().Undo(2);
    EXPECT_EQ(book->ActiveSheet()->Rows().DefaultSize(), 20);
    EXPECT_TRUE(book->ActiveSheet()->Rows().Items(2)->DefaultSize());
    book->History().Redo(2);
    EXPECT_EQ(book->ActiveSheet()->Rows().GetItemSize(2), 40);
    EXPECT_EQ(book->ActiveSheet()->Rows().GetItemSize(3), 25);
}

TEST(SpreadSheetHistory, UndoRestoresTheModifiedFlag)
{
    auto book = MakeBookWithHistory();
    book->SetModified(false);
    Type(*book, 0, 0, "1");
    EXPECT_TRUE(book->Modified());
    book->History().Undo();
    EXPECT_FALSE(book->Modified());
}

TEST(SpreadSheetHistory, RussianDescriptions)
{
    auto book = MakeBookWithHistory();
    Type(*book, 0, 0, "1");
    ASSERT_TRUE(Localizer::ActivateShipped(kLocaleRussian));
    EXPECT_EQ(book->History().UndoActions(0)->Description(), QString::fromUtf8("Изменить ячейку"));
    Localizer::Reset();
}

} // namespace
} // namespace quorvel

namespace quorvel {
namespace {

TEST(SpreadSheetCellStyleProcessing, NeighbourBordersFollowAndUndoAsOneStep)
{
    auto book = MakeBookWithHistory();
    SpreadSheetTableView* sheet = book->ActiveSheet();
    SpreadSheetCell* a2 = Type(*book, 1, 0, "left");
    SpreadSheetCell* b2 = Type(*book, 1, 1, "right");
    SpreadSheetCellStyles& styles = book->CellStyles();
    book->History().BeginAction(SpreadSheetHistoryActionKind::FormatCells);
    b2->SetStyleHandle(SetStyleBorder(styles, b2->StyleHandle(), SpreadSheetBorder::bLeft, kDefaultColor, sscbsThick));
    book->History().EndAction();
    EXPECT_EQ(a2->StyleHandle()->Borders()->Style(SpreadSheetBorder::bRight), sscbsThick);
    // No neighbour is created where none exists; a second edit of B2 joins the same step.
    b2->SetStyleHandle(SetStyleBorder(styles, b2->StyleHandle(), SpreadSheetBorder::bTop, kDefaultColor, sscbsThin));
    EXPECT_EQ(sheet->GetCell(0, 1), nullptr);
    EXPECT_EQ(book->History().UndoActionCount(), 3);

    book->History().Undo();
    EXPECT_EQ(a2->StyleHandle(), styles.DefaultStyle());
    EXPECT_EQ(b2->StyleHandle(), styles.DefaultStyle());
    book->History().Redo();
    EXPECT_EQ(a2->StyleHandle()->Borders()->Style(SpreadSheetBorder::bRight), sscbsThick);
}

} // namespace
} // namespace quorvel

namespace quorvel {
namespace {

SpreadSheetCellStyleHandle* withFont(SpreadSheet& book, SpreadSheetCellStyleHandle* base, bool bold, bool italic)
{
    SpreadSheetCellStyles& styles = book.CellStyles();
    auto font = base->Font()->Clone();
    font->Style = (bold ? fsBold : 0) | (italic ? fsItalic : 0);
    auto style = base->Clone();
    style->SetFont(styles.Fonts().AddFont(std::move(font)));
    return styles.AddStyle(std::move(style));
}

TEST(SpreadSheetCellStyleProcessing, ColumnStyleReachesCrossingCells)
{
    auto book = MakeBookWithHistory();
    SpreadSheetTableView* sheet = book->ActiveSheet();
    SpreadSheetCell* c5 = Type(*book, 4, 2, "x");
    c5->SetStyleHandle(withFont(*book, c5->StyleHandle(), false, true));
    SpreadSheetTableRow* row7 = sheet->Rows().CreateItem(6);
    row7->SetStyleHandle(withFont(*book, book->CellStyles().DefaultStyle(), false, false)); // default again
    EXPECT_EQ(row7->StyleHandle(), nullptr);
    auto fill = book->CellStyles().DefaultStyle()->Clone();
    auto brush = fill->Brush()->Clone();
    brush->BackgroundColor = 0xFF0000;
    fill->SetBrush(book->CellStyles().Brushes().AddBrush(std::move(brush)));
    row7->SetStyleHandle(book->CellStyles().AddStyle(std::move(fill)));

    SpreadSheetTableColumn* columnC = sheet->Columns().CreateItem(2);
    columnC->SetStyleHandle(withFont(*book, book->CellStyles().DefaultStyle(), true, false));
    // C5 keeps its italic and becomes bold.
    EXPECT_TRUE(c5->StyleHandle()->Font()->Style & fsBold);
    EXPECT_TRUE(c5->StyleHandle()->Font()->Style & fsItalic);
    // Row 7 has a style of its own: a cell appears at C7 with both looks.
    SpreadSheetCell* c7 = sheet->GetCell(6, 2);
    ASSERT_NE(c7, nullptr);
    EXPECT_TRUE(c7->StyleHandle()->Font()->Style & fsBold);
    EXPECT_EQ(c7->StyleHandle()->Brush()->BackgroundColor, 0xFF0000u);
    // Nothing is created where the row has no style.
    EXPECT_EQ(sheet->GetCell(0, 2), nullptr);

    book->History().Undo();
    EXPECT_EQ(sheet->Columns().Items(2)->StyleHandle(), nullptr);
    EXPECT_FALSE(c5->StyleHandle()->Font()->Style & fsBold);
    EXPECT_TRUE(c5->StyleHandle()->Font()->Style & fsItalic);
}

} // namespace
} // namespace quorvel
