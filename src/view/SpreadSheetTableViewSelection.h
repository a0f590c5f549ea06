#pragma once

#include "model/SpreadSheetTypes.h"

#include <QString>

#include <map>
#include <vector>

namespace quorvel {

class SpreadSheetTableView;

/// The selection of one sheet: an ordered list of areas, the last being the active one that
/// Shift-moves resize, and the focused cell. Kept free of widgets so that it can move into the
/// sheet itself.
class SpreadSheetTableViewSelection {
public:
    SpreadSheetTableViewSelection();

    int FocusedRow() const { return focusedRow_; }
    int FocusedColumn() const { return focusedColumn_; }
    int Count() const { return static_cast<int>(areas_.size()); }
    const SpreadSheetArea& Items(int index) const { return areas_[static_cast<size_t>(index)]; }
    const SpreadSheetArea& Area() const { return areas_.back(); }
    /// The rectangle around every area.
    SpreadSheetArea BoundingArea() const;
    bool IsCellSelected(int row, int column) const;
    bool IsSingleCell() const;
    /// Every column of the area is selected, or every row of it.
    bool IsEntireRowSelected(int row) const;
    bool IsEntireColumnSelected(int column) const;

    /// The cell becomes the focus and the only selected area; indexes are clamped to the grid.
    void SetFocusedCell(int row, int column);
    /// The focus moves inside the selection without changing it.
    void MoveFocus(int row, int column);
    /// Replaces the selection by one area with the focus at the given cell.
    void Select(const SpreadSheetArea& area, int focusedRow, int focusedColumn);
    /// Sets the active area to the rectangle spanned by the focus and the given cell.
    void ExtendTo(int row, int column);

private:
    std::vector<SpreadSheetArea> areas_;
    int focusedRow_ = 0;
    int focusedColumn_ = 0;
};

/// The selections and scroll positions of the sheets shown by one view, keyed by sheet identity.
class SpreadSheetViewStates {
public:
    struct State {
        SpreadSheetTableViewSelection selection;
        long long scrollX = 0;
        long long scrollY = 0;
    };
    State& Get(const SpreadSheetTableView& sheet);
    SpreadSheetTableViewSelection& Selection(const SpreadSheetTableView& sheet) { return Get(sheet).selection; }
    void Clear() { states_.clear(); }

private:
    std::map<QString, State> states_; // node-based: references stay valid as sheets are added
};

} // namespace quorvel
