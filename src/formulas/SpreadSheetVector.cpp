#include "formulas/SpreadSheetVector.h"

#include "formulas/SpreadSheetFormulaController.h"

namespace quorvel {

SpreadSheetVectorValue SpreadSheetSimpleVector::Item(int index) const
{
    if (index < 0 || index >= Count())
        return { {}, ecNA };
    return items_[static_cast<std::size_t>(index)];
}

SpreadSheetReferenceVector::SpreadSheetReferenceVector(
    SpreadSheetFormulaController* controller, SpreadSheetTableView* view, int row, int column, int count, bool isColumn)
    : controller_(controller)
    , view_(view)
    , row_(row)
    , column_(column)
    , count_(count)
    , isColumn_(isColumn)
{
}

SpreadSheetVectorValue SpreadSheetReferenceVector::Item(int index) const
{
    SpreadSheetVectorValue item;
    if (index < 0 || index >= count_) {
        item.ErrorCode = ecNA;
        return item;
    }
    if (!controller_ || !view_) {
        item.ErrorCode = ecRefErr;
        return item;
    }
    controller_->ReadCellValue(
        view_, isColumn_ ? row_ + index : row_, isColumn_ ? column_ : column_ + index, item.Value, item.ErrorCode);
    return item;
}

} // namespace quorvel
