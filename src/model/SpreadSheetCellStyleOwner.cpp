// The cell as the owner of an editable style. A cell stays a bare handle; the style object a caller
// asks for is built on demand around it and writes every committed edit back through the cell.
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
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
    void ProcessStyleChanged(SpreadSheetCellStyleHandle* /*prev*/, SpreadSheetCellStyleHandle* next) override
    {
        cell_->SetStyleHandle(next);
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
