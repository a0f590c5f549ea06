#include "view/SpreadSheetTableViewController.h"

#include "formulas/SpreadSheetFormulaController.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetStrings.h"
#include "model/SpreadSheetTableItems.h"
#include "model/SpreadSheetTableView.h"
#include "view/SpreadSheetTableViewSelection.h"

#include <QScopeGuard>
#include <Qt>

#include <algorithm>

namespace quorvel {

namespace {

constexpr SpreadSheetShiftState kModifiers = ssShift | ssAlt | ssCtrl;

bool isEmptyCell(const SpreadSheetTableView& sheet, int row, int column)
{
    const SpreadSheetCell* cell = sheet.GetCell(row, column);
    return cell == nullptr || cell->IsEmpty();
}

// The corner of the active area that Shift-moves drag: the one opposite the focus.
void movingEdge(const SpreadSheetTableViewSelection& selection, int& row, int& column)
{
    const SpreadSheetArea& area = selection.Area();
    row = selection.FocusedRow() == area.top ? area.bottom : area.top;
    column = selection.FocusedColumn() == area.left ? area.right : area.left;
}

bool anyValueInRow(const SpreadSheetTableView& sheet, int row, int left, int right)
{
    for (int column = std::max(left, 0); column <= std::min(right, kMaxColumnIndex); ++column)
        if (!isEmptyCell(sheet, row, column))
            return true;
    return false;
}

bool anyValueInColumn(const SpreadSheetTableView& sheet, int column, int top, int bottom)
{
    for (int row = std::max(top, 0); row <= std::min(bottom, kMaxRowIndex); ++row)
        if (!isEmptyCell(sheet, row, column))
            return true;
    return false;
}

// Grows the focused cell's rectangle wherever the row or column next to it, taken one cell wider
// at each end, holds a value.
SpreadSheetArea currentRegion(const SpreadSheetTableView& sheet, int row, int column)
{
    SpreadSheetArea area { column, row, column, row };
    for (bool grown = true; grown;) {
        grown = false;
        if (area.top > 0 && anyValueInRow(sheet, area.top - 1, area.left - 1, area.right + 1)) {
            --area.top;
            grown = true;
        }
        if (area.bottom < kMaxRowIndex && anyValueInRow(sheet, area.bottom + 1, area.left - 1, area.right + 1)) {
            ++area.bottom;
            grown = true;
        }
        if (area.left > 0 && anyValueInColumn(sheet, area.left - 1, area.top - 1, area.bottom + 1)) {
            --area.left;
            grown = true;
        }
        if (area.right < kMaxColumnIndex && anyValueInColumn(sheet, area.right + 1, area.top - 1, area.bottom + 1)) {
            ++area.right;
            grown = true;
        }
    }
    return area;
}

} // namespace

SpreadSheetShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers)
{
    SpreadSheetShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= ssShift;
    if (modifiers & Qt::AltModifier)
        shift |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        shift |= ssCtrl;
    return shift;
}

int FirstScrollable(const SpreadSheetTableItems& items, int lastFrozen)
{
    const int first = std::min(lastFrozen + 1, items.MaxIndex());
    return items.IsItemVisible(first) ? first : items.GetNextVisibleItemIndex(first, true);
}

SpreadSheetTableViewController::SpreadSheetTableViewController(SpreadSheet& book, SpreadSheetViewStates& states)
    : book_(book)
    , states_(states)
{
}

SpreadSheetTableView& SpreadSheetTableViewController::Sheet() const { return *book_.ActiveSheet(); }

SpreadSheetTableViewSelection& SpreadSheetTableViewController::Selection() const
{
    return states_.Selection(Sheet());
}

int SpreadSheetTableViewController::NextVisibleRow(int row, bool forward) const
{
    return Sheet().Rows().GetNextVisibleItemIndex(row, forward);
}

int SpreadSheetTableViewController::NextVisibleColumn(int column, bool forward) const
{
    return Sheet().Columns().GetNextVisibleItemIndex(column, forward);
}

SpreadSheetKeyResult SpreadSheetTableViewController::KeyDown(
    int key, SpreadSheetShiftState shift, SpreadSheetViewport& viewport)
{
    if (book_.ActiveSheet() == nullptr)
        return SpreadSheetKeyResult::krIgnored;
    shift &= kModifiers;
    const bool withShift = (shift & ssShift) != 0;
    const bool ctrl = (shift & ssCtrl) != 0;
    const bool alt = (shift & ssAlt) != 0;
    SpreadSheetTableView& sheet = Sheet();
    SpreadSheetTableViewSelection& selection = Selection();
    switch (key) {
    case Qt::Key_Backspace:
        if (shift != ssAlt)
            return SpreadSheetKeyResult::krIgnored;
        book_.History().Undo();
        return SpreadSheetKeyResult::krHandled;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (ctrl || alt)
            return SpreadSheetKeyResult::krIgnored;
        WalkSelection(true, withShift || key == Qt::Key_Backtab);
        return SpreadSheetKeyResult::krHandled;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ctrl || alt)
            return SpreadSheetKeyResult::krIgnored;
        WalkSelection(false, withShift);
        return SpreadSheetKeyResult::krHandled;
    case Qt::Key_Escape:
        // TODO: drop the copy marquee once the clipboard exists.
        return SpreadSheetKeyResult::krHandled;
    case Qt::Key_Space:
        if (shift == ssCtrl || shift == ssShift) {
            SelectWholeLines(shift == ssCtrl);
            return SpreadSheetKeyResult::krHandled;
        }
        return SpreadSheetKeyResult::krIgnored;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (ctrl) {
            const int step = key == Qt::Key_PageDown ? 1 : -1;
            for (int i = 0; i < book_.VisibleSheetCount(); ++i)
                if (book_.VisibleSheets(i) == &sheet) {
                    if (SpreadSheetTableView* next = book_.VisibleSheets(i + step))
                        book_.SetActiveSheetIndex(next->Index());
                    break;
                }
        } else {
            ScrollPage(key == Qt::Key_PageDown, withShift, viewport);
        }
        return SpreadSheetKeyResult::krHandled;
    case Qt::Key_End:
        if (ctrl) {
            const SpreadSheetArea dimensions = sheet.GetDimensions();
            int row = dimensions.bottom;
            int column = dimensions.right;
            if (!sheet.Rows().IsItemVisible(row))
                row = NextVisibleRow(row, false);
            if (!sheet.Columns().IsItemVisible(column))
                column = NextVisibleColumn(column, false);
            MoveOrExtend(row, column, withShift);
        } else {
            const SpreadSheetTableRow* row = sheet.Rows().Items(selection.FocusedRow());
            int column = row && row->LastCell() ? row->LastCell()->ColumnIndex() : 0;
            if (!sheet.Columns().IsItemVisible(column))
                column = NextVisibleColumn(column, false);
            MoveOrExtend(selection.FocusedRow(), column, withShift);
        }
        return SpreadSheetKeyResult::krHandled;
    case Qt::Key_Home: {
        const int column = FirstScrollable(sheet.Columns(), sheet.FrozenColumn());
        MoveOrExtend(ctrl ? FirstScrollable(sheet.Rows(), sheet.FrozenRow()) : selection.FocusedRow(), column, withShift);
        return SpreadSheetKeyResult::krHandled;
    }
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (alt)
            return SpreadSheetKeyResult::krIgnored;
        MoveByArrow(key, shift);
        return SpreadSheetKeyResult::krHandled;
    case Qt::Key_Delete:
        if (withShift || alt)
            return SpreadSheetKeyResult::krIgnored; // TODO: Shift+Delete cuts once the clipboard exists.
        ClearCellValues();
        return SpreadSheetKeyResult::krHandled;
    case Qt::Key_F2:
        return shift == 0 ? SpreadSheetKeyResult::krStartEditing : SpreadSheetKeyResult::krIgnored;
    case Qt::Key_F9:
        // Recalculates every formula; with automatic calculation off, the only way to do so.
        if (shift != 0)
            return SpreadSheetKeyResult::krIgnored;
        book_.Calculate();
        return SpreadSheetKeyResult::krHandled;
    case Qt::Key_F11:
        if (shift != ssShift)
            return SpreadSheetKeyResult::krIgnored;
        book_.InsertSheet(book_.ActiveSheetIndex() + 1);
        return SpreadSheetKeyResult::krHandled;
    default:
        return ctrl && !alt && !withShift ? ProcessCtrlKey(key) : SpreadSheetKeyResult::krIgnored;
    }
}

SpreadSheetKeyResult SpreadSheetTableViewController::ProcessCtrlKey(int key)
{
    SpreadSheetTableViewSelection& selection = Selection();
    switch (key) {
    case Qt::Key_Z:
        book_.History().Undo();
        return SpreadSheetKeyResult::krHandled;
    case Qt::Key_Y:
        book_.History().Redo();
        return SpreadSheetKeyResult::krHandled;
    case Qt::Key_A: {
        const int row = selection.FocusedRow();
        const int column = selection.FocusedColumn();
        const SpreadSheetArea region = currentRegion(Sheet(), row, column);
        if (selection.IsSingleCell() && !(region.left == region.right && region.top == region.bottom))
            selection.Select(region, row, column);
        else
            selection.Select(SpreadSheetArea { 0, 0, kMaxColumnIndex, kMaxRowIndex }, row, column);
        return SpreadSheetKeyResult::krHandled;
    }
    default:
        // Every other Ctrl shortcut belongs to commands that do not exist yet; swallow it so that
        // it does not start editing.
        return key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde ? SpreadSheetKeyResult::krHandled
                                                                 : SpreadSheetKeyResult::krIgnored;
    }
}

void SpreadSheetTableViewController::MoveOrExtend(int row, int column, bool extend)
{
    SpreadSheetTableViewSelection& selection = Selection();
    if (extend)
        selection.ExtendTo(row, column);
    else
        selection.SetFocusedCell(row, column);
}

void SpreadSheetTableViewController::MoveByArrow(int key, SpreadSheetShiftState shift)
{
    const bool extend = (shift & ssShift) != 0;
    const SpreadSheetTableViewSelection& selection = Selection();
    int row = selection.FocusedRow();
    int column = selection.FocusedColumn();
    if (extend)
        movingEdge(selection, row, column);
    const int rowStep = key == Qt::Key_Down ? 1 : key == Qt::Key_Up ? -1 : 0;
    const int columnStep = key == Qt::Key_Right ? 1 : key == Qt::Key_Left ? -1 : 0;
    if (shift & ssCtrl) {
        const int target = DataEdge(row, column, rowStep, columnStep);
        (rowStep != 0 ? row : column) = target;
    } else if (rowStep != 0) {
        row = NextVisibleRow(row, rowStep > 0);
    } else {
        column = NextVisibleColumn(column, columnStep > 0);
    }
    MoveOrExtend(row, column, extend);
}

// The walk of Ctrl+arrow: through a run of values to its last one, or across a gap to the first
// value after it; with nothing to find, to the sheet's edge.
int SpreadSheetTableViewController::DataEdge(int row, int column, int rowStep, int columnStep) const
{
    const SpreadSheetTableView& sheet = Sheet();
    const bool alongRow = columnStep != 0;
    const bool forward = rowStep + columnStep > 0;
    const int start = alongRow ? column : row;
    int limit = forward ? -1 : 0;
    if (alongRow) {
        const SpreadSheetTableRow* item = sheet.Rows().Items(row);
        if (forward && item && item->LastCell())
            limit = item->LastCell()->ColumnIndex();
    } else if (forward && sheet.Rows().Last()) {
        limit = sheet.Rows().Last()->Index();
    }
    const bool startedEmpty = isEmptyCell(sheet, row, column);
    bool crossedGap = false;
    int candidate = -1;
    for (int index = start;;) {
        const int next = alongRow ? NextVisibleColumn(index, forward) : NextVisibleRow(index, forward);
        if (next == index || (forward ? next > limit : next < limit))
            break;
        index = next;
        const bool empty = alongRow ? isEmptyCell(sheet, row, index) : isEmptyCell(sheet, index, column);
        if (empty) {
            if (candidate >= 0)
                break;
            crossedGap = true;
            continue;
        }
        // TODO: skip cells that the sheet protection does not allow to select, once protection exists.
        candidate = index;
        if (startedEmpty || crossedGap)
            break;
    }
    if (candidate >= 0)
        return candidate;
    return forward ? (alongRow ? kMaxColumnIndex : kMaxRowIndex) : 0;
}

void SpreadSheetTableViewController::WalkSelection(bool alongRow, bool backward)
{
    SpreadSheetTableViewSelection& selection = Selection();
    int row = selection.FocusedRow();
    int column = selection.FocusedColumn();
    int areaIndex = -1;
    if (!selection.IsSingleCell())
        for (int i = selection.Count() - 1; i >= 0 && areaIndex < 0; --i)
            if (selection.Items(i).Contains(row, column))
                areaIndex = i;
    if (areaIndex < 0) {
        if (alongRow)
            column = NextVisibleColumn(column, !backward);
        else
            row = NextVisibleRow(row, !backward);
        selection.SetFocusedCell(row, column);
        return;
    }
    const SpreadSheetArea area = selection.Items(areaIndex);
    int& along = alongRow ? column : row;
    int& across = alongRow ? row : column;
    const int alongFirst = alongRow ? area.left : area.top;
    const int alongLast = alongRow ? area.right : area.bottom;
    const int acrossFirst = alongRow ? area.top : area.left;
    const int acrossLast = alongRow ? area.bottom : area.right;
    const auto step = [&](int index, bool byColumn) {
        return byColumn ? NextVisibleColumn(index, !backward) : NextVisibleRow(index, !backward);
    };
    const int nextAlong = step(along, alongRow);
    const int nextAcross = step(across, !alongRow);
    if (nextAlong != along && nextAlong >= alongFirst && nextAlong <= alongLast) {
        along = nextAlong;
    } else if (nextAcross != across && nextAcross >= acrossFirst && nextAcross <= acrossLast) {
        across = nextAcross;
        along = backward ? alongLast : alongFirst;
    } else {
        const int count = selection.Count();
        const SpreadSheetArea& next = selection.Items((areaIndex + (backward ? count - 1 : 1)) % count);
        row = backward ? next.bottom : next.top;
        column = backward ? next.right : next.left;
    }
    selection.MoveFocus(row, column);
}

void SpreadSheetTableViewController::ScrollPage(bool down, bool extend, SpreadSheetViewport& viewport)
{
    const SpreadSheetTableViewSelection& selection = Selection();
    int row = selection.FocusedRow();
    int column = selection.FocusedColumn();
    if (extend)
        movingEdge(selection, row, column);
    const int page = std::max(viewport.pageRowCount, 1);
    int offset = 0;
    for (int r = viewport.topRow; r < row && offset < page - 1;) {
        const int next = NextVisibleRow(r, true);
        if (next == r)
            break;
        r = next;
        ++offset;
    }
    int top = viewport.topRow;
    for (int i = 0; i < page; ++i)
        top = NextVisibleRow(top, down);
    top = std::max(top, FirstScrollable(Sheet().Rows(), Sheet().FrozenRow()));
    viewport.topRow = top;
    row = top;
    for (int i = 0; i < offset; ++i)
        row = NextVisibleRow(row, true);
    MoveOrExtend(row, column, extend);
}

void SpreadSheetTableViewController::SelectWholeLines(bool columns)
{
    SpreadSheetTableViewSelection& selection = Selection();
    const int row = selection.FocusedRow();
    const int column = selection.FocusedColumn();
    const bool everything
        = columns ? selection.IsEntireRowSelected(row) : selection.IsEntireColumnSelected(column);
    SpreadSheetArea area = selection.Area();
    if (everything)
        area = SpreadSheetArea { 0, 0, kMaxColumnIndex, kMaxRowIndex };
    else if (columns)
        area = SpreadSheetArea { area.left, 0, area.right, kMaxRowIndex };
    else
        area = SpreadSheetArea { 0, area.top, kMaxColumnIndex, area.bottom };
    selection.Select(area, row, column);
}

void SpreadSheetTableViewController::ClearCellValues()
{
    SpreadSheetTableView& sheet = Sheet();
    SpreadSheetHistory& history = book_.History();
    const SpreadSheetTableViewSelection& selection = Selection();
    for (int i = 0; i < selection.Count(); ++i)
        if (!book_.FormulaController().CanModifyDataInArrayFormulaArea(&sheet, selection.Items(i), false))
            throw ESpreadSheetCannotChangePartOfArrayError(sErrorCannotChangePartOfArray.Text());
    history.BeginAction(SpreadSheetHistoryActionKind::ClearCells);
    book_.BeginUpdate();
    const auto finish = qScopeGuard([&] {
        book_.EndUpdate();
        history.EndAction();
    });
    for (int i = 0; i < selection.Count(); ++i)
        sheet.ForEachCell(selection.Items(i), [](SpreadSheetCell* cell) { cell->Clear(); });
}

} // namespace quorvel
