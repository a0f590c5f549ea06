#include "view/SpreadSheetTableViewController.h"

#include "formulas/SpreadSheetFormulaController.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetTableItems.h"
#include "model/SpreadSheetTableView.h"
#include "view/SpreadSheetTableViewSelection.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

struct Cell {
    int row;
    int column;
    bool operator==(const Cell&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Cell& cell) { return out << "(" << cell.row << "," << cell.column << ")"; }

class ControllerTest : public ::testing::Test {
protected:
    ControllerTest()
        : controller_(book_, states_)
    {
        book_.SetHistoryEnabled(true);
    }
    SpreadSheetTableView& Sheet() { return *book_.ActiveSheet(); }
    SpreadSheetTableViewSelection& Selection() { return states_.Selection(Sheet()); }
    Cell Focus() { return { Selection().FocusedRow(), Selection().FocusedColumn() }; }
    void Put(int row, int column, const QString& text) { Sheet().CreateCell(row, column)->SetText(text); }
    SpreadSheetKeyResult Press(int key, SpreadSheetShiftState shift = 0)
    {
        return controller_.KeyDown(key, shift, viewport_);
    }

    SpreadSheet book_;
    SpreadSheetViewStates states_;
    SpreadSheetTableViewController controller_;
    SpreadSheetViewport viewport_ { 0, 30 };
};

TEST_F(ControllerTest, KeysMoveTheFocus)
{
    const struct {
        Cell from;
        int key;
        SpreadSheetShiftState shift;
        Cell to;
    } cases[] = {
        { { 5, 5 }, Qt::Key_Left, 0, { 5, 4 } },
        { { 5, 5 }, Qt::Key_Right, 0, { 5, 6 } },
        { { 5, 5 }, Qt::Key_Up, 0, { 4, 5 } },
        { { 5, 5 }, Qt::Key_Down, 0, { 6, 5 } },
        { { 0, 0 }, Qt::Key_Left, 0, { 0, 0 } },
        { { 0, 0 }, Qt::Key_Up, 0, { 0, 0 } },
        { { 5, 5 }, Qt::Key_Return, 0, { 6, 5 } },
        { { 5, 5 }, Qt::Key_Enter, ssShift, { 4, 5 } },
        { { 5, 5 }, Qt::Key_Tab, 0, { 5, 6 } },
        { { 5, 5 }, Qt::Key_Tab, ssShift, { 5, 4 } },
        { { 5, 5 }, Qt::Key_Backtab, ssShift, { 5, 4 } },
        { { 5, 5 }, Qt::Key_Home, 0, { 5, 0 } },
        { { 5, 5 }, Qt::Key_Home, ssCtrl, { 0, 0 } },
        { { kMaxRowIndex, 3 }, Qt::Key_Return, 0, { kMaxRowIndex, 3 } },
        { { kMaxRowIndex, kMaxColumnIndex }, Qt::Key_Right, 0, { kMaxRowIndex, kMaxColumnIndex } },
        { { kMaxRowIndex, kMaxColumnIndex }, Qt::Key_Down, 0, { kMaxRowIndex, kMaxColumnIndex } },
        // Ctrl+arrow on an empty sheet goes to the sheet's edges.
        { { 7, 7 }, Qt::Key_Right, ssCtrl, { 7, kMaxColumnIndex } },
        { { 7, kMaxColumnIndex }, Qt::Key_Left, ssCtrl, { 7, 0 } },
        { { 7, 7 }, Qt::Key_Down, ssCtrl, { kMaxRowIndex, 7 } },
        { { 7, 7 }, Qt::Key_Up, ssCtrl, { 0, 7 } },
    };
    for (const auto& c : cases) {
        Selection().SetFocusedCell(c.from.row, c.from.column);
        EXPECT_EQ(Press(c.key, c.shift), SpreadSheetKeyResult::krHandled);
        EXPECT_EQ(Focus(), c.to) << "key " << c.key << " shift " << c.shift << " from " << c.from;
        EXPECT_TRUE(Selection().IsSingleCell());
    }
}

TEST_F(ControllerTest, CtrlArrowStopsAtDataEdges)
{
    for (int row : { 0, 1, 2, 3, 4, 9, 10, 11 })
        Put(row, 0, QStringLiteral("1"));
    Selection().SetFocusedCell(0, 0);
    for (int expected : { 4, 9, 11, kMaxRowIndex }) {
        Press(Qt::Key_Down, ssCtrl);
        EXPECT_EQ(Focus(), (Cell { expected, 0 }));
    }
    for (int expected : { 11, 9, 4, 0 }) {
        Press(Qt::Key_Up, ssCtrl);
        EXPECT_EQ(Focus(), (Cell { expected, 0 }));
    }
}

TEST_F(ControllerTest, ArrowsSkipHiddenRowsAndColumns)
{
    Sheet().Rows().CreateItem(3)->SetVisible(false);
    Sheet().Columns().CreateItem(1)->SetVisible(false);
    Selection().SetFocusedCell(2, 0);
    Press(Qt::Key_Down);
    EXPECT_EQ(Focus(), (Cell { 4, 0 }));
    Press(Qt::Key_Right);
    EXPECT_EQ(Focus(), (Cell { 4, 2 }));
}

TEST_F(ControllerTest, ShiftExtendsTheActiveAreaFromItsMovingEdge)
{
    Selection().SetFocusedCell(2, 2);
    Press(Qt::Key_Down, ssShift);
    Press(Qt::Key_Down, ssShift);
    Press(Qt::Key_Right, ssShift);
    EXPECT_EQ(Selection().Area(), (SpreadSheetArea { 2, 2, 3, 4 }));
    EXPECT_EQ(Focus(), (Cell { 2, 2 }));
    Press(Qt::Key_Up, ssShift);
    EXPECT_EQ(Selection().Area(), (SpreadSheetArea { 2, 2, 3, 3 }));
}

TEST_F(ControllerTest, TabAndEnterWalkInsideTheSelection)
{
    // A1:B2 with the focus on B1: Tab goes to A2, and from B2 back to A1.
    Selection().Select(SpreadSheetArea { 0, 0, 1, 1 }, 0, 1);
    Press(Qt::Key_Tab);
    EXPECT_EQ(Focus(), (Cell { 1, 0 }));
    Press(Qt::Key_Tab);
    EXPECT_EQ(Focus(), (Cell { 1, 1 }));
    Press(Qt::Key_Tab);
    EXPECT_EQ(Focus(), (Cell { 0, 0 }));
    EXPECT_EQ(Selection().Area(), (SpreadSheetArea { 0, 0, 1, 1 }));
    // Enter walks down the columns; Shift+Enter walks back.
    Press(Qt::Key_Return);
    EXPECT_EQ(Focus(), (Cell { 1, 0 }));
    Press(Qt::Key_Return);
    EXPECT_EQ(Focus(), (Cell { 0, 1 }));
    Press(Qt::Key_Return, ssShift);
    EXPECT_EQ(Focus(), (Cell { 1, 0 }));
}

TEST_F(ControllerTest, PageDownScrollsAndKeepsTheFocusOffset)
{
    viewport_ = { 10, 20 };
    Selection().SetFocusedCell(15, 2);
    Press(Qt::Key_PageDown);
    EXPECT_EQ(viewport_.topRow, 30);
    EXPECT_EQ(Focus(), (Cell { 35, 2 }));
    Press(Qt::Key_PageUp);
    Press(Qt::Key_PageUp);
    EXPECT_EQ(viewport_.topRow, 0);
    EXPECT_EQ(Focus(), (Cell { 5, 2 }));
}

TEST_F(ControllerTest, CtrlAAndSpaceSelectRegionsAndLines)
{
    Put(1, 1, QStringLiteral("a"));
    Put(2, 1, QStringLiteral("b"));
    Put(2, 2, QStringLiteral("c"));
    Selection().SetFocusedCell(1, 1);
    Press(Qt::Key_A, ssCtrl);
    EXPECT_EQ(Selection().Area(), (SpreadSheetArea { 1, 1, 2, 2 }));
    Press(Qt::Key_A, ssCtrl);
    EXPECT_EQ(Selection().Area(), (SpreadSheetArea { 0, 0, kMaxColumnIndex, kMaxRowIndex }));
    EXPECT_EQ(Focus(), (Cell { 1, 1 }));

    Selection().SetFocusedCell(4, 3);
    Press(Qt::Key_Space, ssCtrl);
    EXPECT_EQ(Selection().Area(), (SpreadSheetArea { 3, 0, 3, kMaxRowIndex }));
    Selection().SetFocusedCell(4, 3);
    Press(Qt::Key_Space, ssShift);
    EXPECT_EQ(Selection().Area(), (SpreadSheetArea { 0, 4, kMaxColumnIndex, 4 }));
    Press(Qt::Key_Space, ssCtrl);
    EXPECT_EQ(Selection().Area(), (SpreadSheetArea { 0, 0, kMaxColumnIndex, kMaxRowIndex }));
}

TEST_F(ControllerTest, DeleteClearsValuesInOneUndoStep)
{
    Put(0, 0, QStringLiteral("1"));
    Put(1, 0, QStringLiteral("2"));
    const int steps = book_.History().UndoActionCount();
    Selection().Select(SpreadSheetArea { 0, 0, 0, 1 }, 0, 0);
    EXPECT_EQ(Press(Qt::Key_Delete), SpreadSheetKeyResult::krHandled);
    EXPECT_TRUE(Sheet().GetCell(0, 0)->IsEmpty());
    EXPECT_TRUE(Sheet().GetCell(1, 0)->IsEmpty());
    EXPECT_EQ(book_.History().UndoActionCount(), steps + 1);
    Press(Qt::Key_Z, ssCtrl);
    EXPECT_EQ(Sheet().GetCell(0, 0)->AsString(), QStringLiteral("1"));
    EXPECT_EQ(Sheet().GetCell(1, 0)->AsString(), QStringLiteral("2"));
    Press(Qt::Key_Y, ssCtrl);
    EXPECT_TRUE(Sheet().GetCell(1, 0)->IsEmpty());
}

TEST_F(ControllerTest, SheetKeysSwitchAndAddSheets)
{
    book_.AddSheet();
    EXPECT_EQ(book_.ActiveSheetIndex(), 0);
    Press(Qt::Key_PageDown, ssCtrl);
    EXPECT_EQ(book_.ActiveSheetIndex(), 1);
    Press(Qt::Key_PageDown, ssCtrl);
    EXPECT_EQ(book_.ActiveSheetIndex(), 1);
    Press(Qt::Key_PageUp, ssCtrl);
    EXPECT_EQ(book_.ActiveSheetIndex(), 0);
    Press(Qt::Key_F11, ssShift);
    EXPECT_EQ(book_.SheetCount(), 3);
    EXPECT_EQ(book_.ActiveSheetIndex(), 1);
}

TEST_F(ControllerTest, DeleteTakesAWholeArrayOrNothing)
{
    Sheet().SetArrayFormula(SpreadSheetArea { 0, 0, 0, 2 }, QStringLiteral("={1;2;3}"));
    Selection().Select(SpreadSheetArea { 0, 1, 0, 2 }, 0, 1);
    EXPECT_THROW(Press(Qt::Key_Delete), ESpreadSheetCannotChangePartOfArrayError);
    EXPECT_EQ(Sheet().GetCell(1, 0)->AsString(), QStringLiteral("2"));
    Selection().Select(SpreadSheetArea { 0, 0, 1, 2 }, 0, 0);
    EXPECT_EQ(Press(Qt::Key_Delete), SpreadSheetKeyResult::krHandled);
    EXPECT_TRUE(Sheet().GetCell(2, 0)->IsEmpty());
    EXPECT_EQ(book_.FormulaController().FindArrayFormula(&Sheet(), 2, 0), 0);
}

TEST_F(ControllerTest, F9RecalculatesWhenAutomaticCalculationIsOff)
{
    book_.OptionsBehavior().AutomaticCalculation = false;
    Sheet().CreateCell(0, 0)->SetText(QStringLiteral("2"), true);
    Sheet().CreateCell(0, 1)->SetText(QStringLiteral("=A1*3"), true);
    Sheet().CreateCell(0, 0)->SetText(QStringLiteral("5"), true);
    EXPECT_EQ(Sheet().GetCell(0, 1)->AsString(), QStringLiteral("6"));
    EXPECT_EQ(Press(Qt::Key_F9, ssShift), SpreadSheetKeyResult::krIgnored);
    EXPECT_EQ(Press(Qt::Key_F9), SpreadSheetKeyResult::krHandled);
    EXPECT_EQ(Sheet().GetCell(0, 1)->AsString(), QStringLiteral("15"));
}

TEST_F(ControllerTest, EditingKeysAreLeftToTheView)
{
    EXPECT_EQ(Press(Qt::Key_F2), SpreadSheetKeyResult::krStartEditing);
    EXPECT_EQ(Press(Qt::Key_A), SpreadSheetKeyResult::krIgnored);
    EXPECT_EQ(Press(Qt::Key_5, ssShift), SpreadSheetKeyResult::krIgnored);
    EXPECT_EQ(Press(Qt::Key_Space), SpreadSheetKeyResult::krIgnored);
    // Ctrl shortcuts of later commands must not start editing.
    EXPECT_EQ(Press(Qt::Key_B, ssCtrl), SpreadSheetKeyResult::krHandled);
}

} // namespace
} // namespace quorvel
