#pragma once

#include "formulas/SpreadSheetVariant.h"
#include "model/SpreadSheetTypes.h"

#include <vector>

namespace quorvel {

class SpreadSheetFormulaController;
class SpreadSheetTableView;

/// One item of a vector: a value or the error in its place.
struct SpreadSheetVectorValue {
    SpreadSheetVariant Value;
    SpreadSheetFormulaErrorCode ErrorCode = ecNone;
};

/// One row or column of values that lookups search: a range's line or an array's.
class SpreadSheetVector {
public:
    virtual ~SpreadSheetVector() = default;
    virtual int Count() const = 0;
    virtual SpreadSheetVectorValue Item(int index) const = 0;
};

/// Values held in memory: the items of an array, or a scalar as a one-item vector.
class SpreadSheetSimpleVector final : public SpreadSheetVector {
public:
    void Add(SpreadSheetVectorValue value) { items_.push_back(std::move(value)); }
    void Reserve(int count) { items_.reserve(static_cast<std::size_t>(count)); }
    int Count() const override { return static_cast<int>(items_.size()); }
    SpreadSheetVectorValue Item(int index) const override;

private:
    std::vector<SpreadSheetVectorValue> items_;
};

/// A line of cells read on demand through the formula controller, so that formula cells give
/// their current values; a whole column is 1048576 items long without storing any of them.
class SpreadSheetReferenceVector final : public SpreadSheetVector {
public:
    /// `count` cells from (row, column) going down (`isColumn`) or right.
    SpreadSheetReferenceVector(
        SpreadSheetFormulaController* controller, SpreadSheetTableView* view, int row, int column, int count, bool isColumn);
    int Count() const override { return count_; }
    SpreadSheetVectorValue Item(int index) const override;
    SpreadSheetTableView* View() const { return view_; }
    int Row() const { return row_; }
    int Column() const { return column_; }
    bool IsColumn() const { return isColumn_; }

private:
    SpreadSheetFormulaController* controller_;
    SpreadSheetTableView* view_;
    int row_;
    int column_;
    int count_;
    bool isColumn_;
};

} // namespace quorvel
