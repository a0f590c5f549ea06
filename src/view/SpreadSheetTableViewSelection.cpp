#include "view/SpreadSheetTableViewSelection.h"

#include "model/SpreadSheetTableView.h"

#include <algorithm>

namespace quorvel {

namespace {

int clampRow(int row) { return std::clamp(row, 0, kMaxRowIndex); }
int clampColumn(int column) { return std::clamp(column, 0, kMaxColumnIndex); }

} // namespace

SpreadSheetTableViewSelection::SpreadSheetTableViewSelection()
    : areas_ { SpreadSheetArea {} }
{
}

SpreadSheetArea SpreadSheetTableViewSelection::BoundingArea() const
{
    SpreadSheetArea result = areas_.front();
    for (const SpreadSheetArea& area : areas_) {
        result.left = std::min(result.left, area.left);
        result.top = std::min(result.top, area.top);
        result.right = std::max(result.right, area.right);
        result.bottom = std::max(result.bottom, area.bottom);
    }
    return result;
}

bool SpreadSheetTableViewSelection::IsCellSelected(int row, int column) const
{
    return std::any_of(areas_.begin(), areas_.end(), [&](const SpreadSheetArea& area) { return area.Contains(row, column); });
}

bool SpreadSheetTableViewSelection::IsSingleCell() const
{
    const SpreadSheetArea& area = areas_.back();
    return areas_.size() == 1 && area.left == area.right && area.top == area.bottom;
}

bool SpreadSheetTableViewSelection::IsEntireRowSelected(int row) const
{
    return std::any_of(areas_.begin(), areas_.end(), [&](const SpreadSheetArea& area) {
        return area.left == 0 && area.right >= kMaxColumnIndex - 1 && row >= area.top && row <= area.bottom;
    });
}

bool SpreadSheetTableViewSelection::IsEntireColumnSelected(int column) const
{
    return std::any_of(areas_.begin(), areas_.end(), [&](const SpreadSheetArea& area) {
        return area.top == 0 && area.bottom >= kMaxRowIndex - 1 && column >= area.left && column <= area.right;
    });
}

void SpreadSheetTableViewSelection::SetFocusedCell(int row, int column)
{
    row = clampRow(row);
    column = clampColumn(column);
    Select(SpreadSheetArea { column, row, column, row }, row, column);
}

void SpreadSheetTableViewSelection::MoveFocus(int row, int column)
{
    focusedRow_ = clampRow(row);
    focusedColumn_ = clampColumn(column);
}

void SpreadSheetTableViewSelection::Select(const SpreadSheetArea& area, int focusedRow, int focusedColumn)
{
    areas_.assign(1, area);
    MoveFocus(focusedRow, focusedColumn);
}

void SpreadSheetTableViewSelection::ExtendTo(int row, int column)
{
    row = clampRow(row);
    column = clampColumn(column);
    SpreadSheetArea& area = areas_.back();
    const bool wholeRows = area.left == 0 && area.right == kMaxColumnIndex;
    const bool wholeColumns = area.top == 0 && area.bottom == kMaxRowIndex;
    area.left = std::min(focusedColumn_, column);
    area.right = std::max(focusedColumn_, column);
    area.top = std::min(focusedRow_, row);
    area.bottom = std::max(focusedRow_, row);
    if (wholeRows) {
        area.left = 0;
        area.right = kMaxColumnIndex;
    }
    if (wholeColumns) {
        area.top = 0;
        area.bottom = kMaxRowIndex;
    }
}

SpreadSheetViewStates::State& SpreadSheetViewStates::Get(const SpreadSheetTableView& sheet)
{
    return states_[sheet.GUID()];
}

} // namespace quorvel
