#include "SpreadSheetTestSupport.h"

#include "model/SpreadSheetCoreStyles.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetStyles.h"
#include "model/SpreadSheetTableItems.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorvel {
namespace {

using test::MakeBook;
using test::MakeBookWithHistory;
using test::Type;

struct RoundTrip {
    const char* what;
    std::function<void(SpreadSheetCellStyle&)> change;
    std::function<void(SpreadSheetCellStyle&)> changeBack;
};

// Every edit through a cell's style interns a shared handle, and the reverse edit finds the very
// handle the cell had before, whatever the starting style.
TEST(SpreadSheetCellStyleObject, EditAndReverseEditReturnToTheSameHandle)
{
    const RoundTrip trips[] = {
        { "bold", [](auto& s) { s.Font().SetStyle(s.Font().Style() | fsBold); },
            [](auto& s) { s.Font().SetStyle(s.Font().Style() & ~fsBold); } },
        { "font name and size", [](auto& s) { s.Font().SetName("Arial"), s.Font().SetSize(14); },
            [](auto& s) { s.Font().SetName("Calibri"), s.Font().SetSize(11); } },
        { "thick bottom border", [](auto& s) { s.Borders(SpreadSheetBorder::bBottom).SetStyle(sscbsThick); },
            [](auto& s) { s.Borders(SpreadSheetBorder::bBottom).Reset(); } },
        { "fill", [](auto& s) { s.Brush().SetBackgroundColor(0x00FF00); },
            [](auto& s) { s.Brush().SetBackgroundColor(kDefaultColor); } },
        { "indent beyond the limit", [](auto& s) { s.SetAlignHorzIndent(300); },
            [](auto& s) { s.SetAlignHorzIndent(0); } },
        { "number format", [](auto& s) { s.DataFormat().SetFormatCode("0.000"); },
            [](auto& s) { s.DataFormat().SetFormatCodeID(0); } },
        { "word wrap", [](auto& s) { s.SetWordWrap(true); }, [](auto& s) { s.SetWordWrap(false); } },
    };
    auto book = MakeBook();
    SpreadSheetCell* plain = Type(*book, 0, 0, "plain");
    // Apart from each other, so that border edits reach no neighbour.
    SpreadSheetCell* italic = Type(*book, 2, 0, "italic");
    italic->Style()->Font().SetStyle(fsItalic);
    SpreadSheetCell* twin = Type(*book, 4, 0, "twin");
    for (const RoundTrip& trip : trips) {
        SCOPED_TRACE(trip.what);
        for (SpreadSheetCell* cell : { plain, italic }) {
            // Held, so that the handle stays alive (and its identity comparable) while the cell is away from it.
            const SpreadSheetHandleRef<SpreadSheetCellStyleHandle> before(cell->StyleHandle());
            trip.change(*cell->Style());
            SpreadSheetCellStyleHandle* changed = cell->StyleHandle();
            EXPECT_NE(changed, before.Get());
            // The same edit on another cell with the same start shares the handle.
            twin->SetStyleHandle(before.Get());
            trip.change(*twin->Style());
            EXPECT_EQ(twin->StyleHandle(), changed);
            trip.changeBack(*cell->Style());
            EXPECT_EQ(cell->StyleHandle(), before.Get());
        }
    }
    EXPECT_EQ(plain->StyleHandle(), book->CellStyles().DefaultStyle());
    EXPECT_EQ(italic->StyleHandle()->Font()->Style, fsItalic);
}

TEST(SpreadSheetCellStyleObject, ReadsTheCellsStyle)
{
    auto book = MakeBook();
    SpreadSheetCell* cell = Type(*book, 0, 0, "1/2/2024"); // typing a date sets a date format
    auto style = cell->Style();
    EXPECT_EQ(style->Handle(), cell->StyleHandle());
    EXPECT_EQ(style->DataFormat().FormatCodeID(), 14);
    EXPECT_TRUE(style->DataFormat().IsDateTime());
    EXPECT_TRUE(style->Locked());
    style->SetAlignHorzIndent(300);
    EXPECT_EQ(style->AlignHorzIndent(), 250);
    EXPECT_EQ(cell->StyleHandle()->AlignHorzIndent, 250);
}

struct BorderCase {
    const char* what;
    SpreadSheetBorder side;
    int neighbourRow;
    int neighbourColumn;
    SpreadSheetBorder opposite;
};

// B2's border set through B2's style reaches an existing neighbour on that side as its opposite
// border; nothing is created where no neighbour exists; one undo restores both cells.
TEST(SpreadSheetCellStyleObject, BordersReachNeighboursAndUndoTogether)
{
    const BorderCase cases[] = {
        { "left", SpreadSheetBorder::bLeft, 1, 0, SpreadSheetBorder::bRight },
        { "top", SpreadSheetBorder::bTop, 0, 1, SpreadSheetBorder::bBottom },
        { "right", SpreadSheetBorder::bRight, 1, 2, SpreadSheetBorder::bLeft },
        { "bottom", SpreadSheetBorder::bBottom, 2, 1, SpreadSheetBorder::bTop },
    };
    for (const BorderCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto book = MakeBookWithHistory();
        SpreadSheetTableView* sheet = book->ActiveSheet();
        SpreadSheetCell* b2 = Type(*book, 1, 1, "b2");
        SpreadSheetCell* neighbour = Type(*book, c.neighbourRow, c.neighbourColumn, "n");
        SpreadSheetCellStyleHandle* neighbourBefore = neighbour->StyleHandle();
        const int steps = book->History().UndoActionCount();

        b2->Style()->Borders(c.side).SetStyle(sscbsThick);
        EXPECT_EQ(b2->StyleHandle()->Borders()->Style(c.side), sscbsThick);
        EXPECT_EQ(neighbour->StyleHandle()->Borders()->Style(c.opposite), sscbsThick);
        EXPECT_EQ(book->History().UndoActionCount(), steps + 1);
        // Only the one existing neighbour was touched: none of the other three sides exist.
        int cells = 0;
        for (SpreadSheetTableRow* row = sheet->Rows().First(); row; row = row->NextRow())
            for (SpreadSheetCell* cell = row->FirstCell(); cell; cell = SpreadSheetTableRow::NextCell(cell))
                ++cells;
        EXPECT_EQ(cells, 2);

        book->History().Undo();
        EXPECT_EQ(b2->StyleHandle(), book->CellStyles().DefaultStyle());
        EXPECT_EQ(neighbour->StyleHandle(), neighbourBefore);
        book->History().Redo();
        EXPECT_EQ(b2->StyleHandle()->Borders()->Style(c.side), sscbsThick);
        EXPECT_EQ(neighbour->StyleHandle()->Borders()->Style(c.opposite), sscbsThick);
    }
}

// A multi-attribute edit inside one update is one handle change, one history step and one
// neighbour pass; an update that ends where it started records nothing.
TEST(SpreadSheetCellStyleObject, UpdatesCommitOnceOrNotAtAll)
{
    auto book = MakeBookWithHistory();
    SpreadSheetCell* a2 = Type(*book, 1, 0, "a2");
    SpreadSheetCell* b2 = Type(*book, 1, 1, "b2");
    SpreadSheetHistory& history = book->History();
    const int steps = history.UndoActionCount();

    history.BeginAction(SpreadSheetHistoryActionKind::FormatCells);
    {
        auto style = b2->Style();
        style->BeginUpdate();
        for (int side = 0; side < kBorderCount; ++side)
            style->Borders(static_cast<SpreadSheetBorder>(side)).SetStyle(sscbsMedium);
        style->Font().SetStyle(fsBold);
        EXPECT_EQ(b2->StyleHandle(), book->CellStyles().DefaultStyle()) << "nothing lands before EndUpdate";
        style->EndUpdate();
    }
    history.EndAction();
    ASSERT_EQ(history.UndoActionCount(), steps + 1);
    EXPECT_EQ(history.UndoActions(0)->Description(), "Format Cells");
    EXPECT_EQ(history.UndoActions(0)->CommandCount(), 2); // B2 and its one neighbour A2
    EXPECT_EQ(a2->StyleHandle()->Borders()->Style(SpreadSheetBorder::bRight), sscbsMedium);

    SpreadSheetCellStyleHandle* formatted = b2->StyleHandle();
    auto style = b2->Style();
    style->BeginUpdate();
    style->SetWordWrap(true);
    style->SetWordWrap(false);
    style->EndUpdate();
    EXPECT_EQ(b2->StyleHandle(), formatted);
    EXPECT_EQ(history.UndoActionCount(), steps + 1);

    history.Undo();
    EXPECT_EQ(b2->StyleHandle(), book->CellStyles().DefaultStyle());
    EXPECT_EQ(a2->StyleHandle(), book->CellStyles().DefaultStyle());
}

TEST(SpreadSheetCellStyleObject, RefusedFormatNumberLeavesTheCellAsItWas)
{
    auto book = MakeBookWithHistory();
    SpreadSheetCell* cell = Type(*book, 0, 0, "x");
    const int steps = book->History().UndoActionCount();
    EXPECT_THROW(cell->Style()->DataFormat().SetFormatCodeID(500), ESpreadSheetError);
    EXPECT_EQ(cell->StyleHandle(), book->CellStyles().DefaultStyle());
    EXPECT_EQ(book->History().UndoActionCount(), steps);
    // The style change marks the workbook modified like any other edit.
    book->SetModified(false);
    cell->Style()->SetLocked(false);
    EXPECT_TRUE(book->Modified());
}

} // namespace
} // namespace quorvel
