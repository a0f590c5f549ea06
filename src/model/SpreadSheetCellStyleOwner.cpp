// The cell as the owner of an editable style. A cell stays a bare handle; the style object a caller
// asks for is built on demand around it and writes every committed edit back through the cell.
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetStyles.h"

namespace quorvel {

namespace {

class CellStyleOwner : public ISpreadSheetCellStyleOwner {
public:
    explicit CellStyleOwner(SpreadSheetCell* cell)
        : cell_(cell)
    {
    }

    SpreadSheetCellStyles& CellStyles() override { return cell_->SpreadSheetOwner()->CellStyles(); }
    const SpreadSheetFormatSettings& FormatSettings() override { return cell_->SpreadSheetOwner()->FormatSettings(); }
    // The cell's own path records the history and raises the change bits once the new handle is
    // known, so there is nothing to do before or after it.
    void StyleChanging() override { }
    void StyleChanged() override { }
    void ProcessStyleChanged(SpreadSheetCellStyleHandle* prev, SpreadSheetCellStyleHandle* next) override
    {
        // A border change also reaches the neighbours: one step for all of them. Other changes
        // stay unbracketed, so that they can join the step that typed into the same cell.
        if (DifferingBorders(prev, next) == 0) {
            cell_->SetStyleHandle(next);
            return;
        }
        SpreadSheetHistory& history = cell_->SpreadSheetOwner()->History();
        history.BeginAction(SpreadSheetHistoryActionKind::FormatCells);
        try {
            cell_->SetStyleHandle(next);
        } catch (...) {
            history.EndAction();
            throw;
        }
        history.EndAction();
    }

private:
    SpreadSheetCell* cell_;
};

// The owner is a base listed first, so it is complete before the style is built around it.
class CellStyle final : private CellStyleOwner, public SpreadSheetCellStyle {
public:
    explicit CellStyle(SpreadSheetCell* cell)
        : CellStyleOwner(cell)
        , SpreadSheetCellStyle(static_cast<CellStyleOwner&>(*this), cell->StyleHandle())
    {
    }
};

} // namespace

std::unique_ptr<SpreadSheetCellStyle> SpreadSheetCell::Style() { return std::make_unique<CellStyle>(this); }

} // namespace quorvel
