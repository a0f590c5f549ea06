#pragma once

#include <qnamespace.h>

namespace quorvel {

class SpreadSheet;
class SpreadSheetTableView;
class SpreadSheetTableItems;
class SpreadSheetTableViewSelection;
class SpreadSheetViewStates;

/// Modifier set of a key.
enum SpreadSheetShiftStateFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
};
using SpreadSheetShiftState = unsigned;
SpreadSheetShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers);

/// The first visible row or column after the frozen ones (`lastFrozen` is -1 when none are frozen).
int FirstScrollable(const SpreadSheetTableItems& items, int lastFrozen);

/// What the view must do after the controller has seen a key.
enum class SpreadSheetKeyResult {
    krIgnored, // not a grid key: the view may start editing with the typed character
    krHandled, // done; the view shows the focused cell
    krStartEditing, // open the in-place editor on the focused cell with its text
};

/// The rows the view shows, which Page Up / Page Down scroll by.
struct SpreadSheetViewport {
    int topRow = 0;
    int pageRowCount = 1;
};

/// The grid's key handler. It decides from a key code (Qt::Key) and a modifier set, works on the
/// model and the selection, and leaves painting and scrolling to the view, so that it can be driven
/// without a window.
class SpreadSheetTableViewController {
public:
    SpreadSheetTableViewController(SpreadSheet& book, SpreadSheetViewStates& states);

    SpreadSheetKeyResult KeyDown(int key, SpreadSheetShiftState shift, SpreadSheetViewport& viewport);

    /// Clears the values of the selected cells in one undo step; formats stay.
    void ClearCellValues();

private:
    SpreadSheetTableView& Sheet() const;
    SpreadSheetTableViewSelection& Selection() const;
    SpreadSheetKeyResult ProcessCtrlKey(int key);
    /// Moves the focus, or with `extend` the moving edge of the active area, to the cell.
    void MoveOrExtend(int row, int column, bool extend);
    void MoveByArrow(int key, SpreadSheetShiftState shift);
    void WalkSelection(bool alongRow, bool backward);
    void ScrollPage(bool down, bool extend, SpreadSheetViewport& viewport);
    void SelectWholeLines(bool columns);
    int NextVisibleRow(int row, bool forward) const;
    int NextVisibleColumn(int column, bool forward) const;
    int DataEdge(int row, int column, int rowStep, int columnStep) const;

    SpreadSheet& book_;
    SpreadSheetViewStates& states_;
};

} // namespace quorvel
