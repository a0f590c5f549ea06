#include "model/SpreadSheetTableView.h"

#include "formulas/SpreadSheetFormatSettings.h"
#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaController.h"
#include "formulas/SpreadSheetReferences.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetCellPool.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetStrings.h"
#include "model/SpreadSheetTableItems.h"

#include <QScopeGuard>
#include <QUuid>

#include <algorithm>
#include <vector>

namespace quorvel {

SpreadSheetTableView::SpreadSheetTableView(SpreadSheet* owner, const QString& caption)
    : owner_(owner)
    , caption_(caption)
    , guid_(QUuid::createUuid().toString(QUuid::WithBraces).toUpper())
    , cellPool_(std::make_unique<SpreadSheetCellPool>(sizeof(SpreadSheetCell)))
    , rows_(std::make_unique<SpreadSheetTableRows>(this))
    , columns_(std::make_unique<SpreadSheetTableColumns>(this))
{
    UpdateCaptionDelimited();
}

SpreadSheetTableView::~SpreadSheetTableView()
{
    // Cells release their shared strings and styles before the pool goes away.
    rows_.reset();
    columns_.reset();
}

bool SpreadSheetTableView::SetCaption(const QString& caption)
{
    const QString name = owner_->MakeSheetCaption(caption, this);
    if (name.isEmpty())
        return false;
    const SpreadSheetTableView* other = owner_->GetSheetByName(name);
    if (other != nullptr && other != this)
        return false;
    if (name == caption_)
        return true;
    caption_ = name;
    UpdateCaptionDelimited();
    AddChanges(sscLayout | sscModified);
    return true;
}

void SpreadSheetTableView::UpdateCaptionDelimited()
{
    isCaptionTextDelimited_ = SpreadSheetReferenceAsString::IsCaptionTextDelimited(caption_, owner_->FormatSettings());
}

void SpreadSheetTableView::SetVisible(bool value)
{
    if (visible_ == value)
        return;
    visible_ = value;
    owner_->SheetVisibilityChanged();
}

int SpreadSheetTableView::Index() const
{
    for (int i = 0; i < owner_->SheetCount(); ++i)
        if (owner_->Sheets(i) == this)
            return i;
    return -1;
}

void SpreadSheetTableView::SetIndex(int index) { owner_->MoveSheet(this, index); }

void SpreadSheetTableView::SetZoomFactor(int value)
{
    value = std::clamp(value, 45, 400);
    if (zoomFactor_ == value)
        return;
    zoomFactor_ = value;
    AddChanges(sscLayout | sscZoom);
}

SpreadSheetCell* SpreadSheetTableView::CreateCell(int row, int column)
{
    row = std::clamp(row, 0, kMaxRowIndex);
    column = std::clamp(column, 0, kMaxColumnIndex);
    return rows_->CreateItem(row)->CreateCell(column);
}

SpreadSheetCell* SpreadSheetTableView::CreateCell(const QString& reference)
{
    int row = 0;
    int column = 0;
    if (!TryParseCellReference(reference, owner_->FormatSettings().R1C1Reference, row, column)
        || row > kMaxRowIndex || column > kMaxColumnIndex)
        throw ESpreadSheetError(sErrorInvalidCellReference.Format({ reference }));
    return CreateCell(row, column);
}

SpreadSheetCell* SpreadSheetTableView::GetCell(int row, int column) const
{
    const SpreadSheetTableRow* item = rows_->Items(row);
    return item ? item->Cells(column) : nullptr;
}

SpreadSheetFormulaErrorCode SpreadSheetTableView::GetCellValue(int row, int column, SpreadSheetCellValue& value) const
{
    value = SpreadSheetCellValue();
    if (row < 0 || row > kMaxRowIndex || column < 0 || column > kMaxColumnIndex)
        return ecRefErr;
    if (const SpreadSheetCell* cell = GetCell(row, column))
        value = cell->Value();
    return ecNone;
}

void SpreadSheetTableView::ForEachCell(const std::function<void(SpreadSheetCell*)>& proc, bool forward) const
{
    ForEachCell(GetDimensions(), proc, forward);
}

void SpreadSheetTableView::ForEachCell(
    const SpreadSheetArea& area, const std::function<void(SpreadSheetCell*)>& proc, bool forward) const
{
    if (forward) {
        for (SpreadSheetTableRow* row = rows_->FindAtOrAfter(area.top); row && row->Index() <= area.bottom;
             row = row->NextRow()) {
            for (SpreadSheetCell* cell = row->FindCellAtOrAfter(area.left); cell && cell->ColumnIndex() <= area.right;) {
                SpreadSheetCell* next = SpreadSheetTableRow::NextCell(cell); // `proc` may delete the cell
                proc(cell);
                cell = next;
            }
        }
        return;
    }
    SpreadSheetTableRow* row = rows_->FindAtOrAfter(area.bottom + 1);
    row = row ? row->PrevRow() : rows_->Last();
    for (; row && row->Index() >= area.top; row = row->PrevRow()) {
        SpreadSheetCell* cell = row->FindCellAtOrAfter(area.right + 1);
        cell = cell ? SpreadSheetTableRow::PrevCell(cell) : row->LastCell();
        while (cell && cell->ColumnIndex() >= area.left) {
            SpreadSheetCell* prev = SpreadSheetTableRow::PrevCell(cell);
            proc(cell);
            cell = prev;
        }
    }
}

void SpreadSheetTableView::DeleteCell(SpreadSheetCell* cell) { cell->Row()->DeleteCell(cell); }

void SpreadSheetTableView::SetArrayFormula(const SpreadSheetArea& requested, const QString& text)
{
    SpreadSheetFormulaController& formulas = owner_->FormulaController();
    if (!formulas.CanModifyDataInArrayFormulaArea(this, requested, true))
        throw ESpreadSheetCannotChangePartOfArrayError(sErrorCannotChangePartOfArray.Text());
    // Re-entering an array formula from its anchor keeps its whole area.
    SpreadSheetArea area = requested;
    SpreadSheetCustomFormula* existing = nullptr;
    if (formulas.FindArrayFormula(this, area.top, area.left, &existing) != 0) {
        const SpreadSheetArea bounds = existing->ArrayFormulaArea();
        if (bounds.right > area.right || bounds.bottom > area.bottom)
            area = bounds;
    }
    // One step in the history, however many cells it takes.
    SpreadSheetHistory& history = owner_->History();
    history.BeginAction(SpreadSheetHistoryActionKind::EditCell);
    BeginUpdate();
    const auto end = qScopeGuard([&] {
        EndUpdate();
        history.EndAction();
    });
    // Array formulas wholly inside the area give way first, so that their cells may be typed into.
    std::vector<SpreadSheetCell*> anchors;
    formulas.EnumArrayFormulas(this, [&](SpreadSheetCustomFormula* formula) {
        const SpreadSheetArea bounds = formula->ArrayFormulaArea();
        if (bounds.left >= area.left && bounds.right <= area.right && bounds.top >= area.top
            && bounds.bottom <= area.bottom)
            anchors.push_back(formula->Cell());
        return true;
    });
    for (SpreadSheetCell* anchor : anchors)
        anchor->Clear();
    // The covered cells are emptied as edits, so that undo gives back what they held; what the
    // array formula then writes into them is its result, which the history does not keep.
    for (int row = area.top; row <= area.bottom; ++row)
        for (int column = area.left; column <= area.right; ++column)
            if (row != area.top || column != area.left)
                CreateCell(row, column)->Clear();
    SpreadSheetCell* first = CreateCell(area.top, area.left);
    first->SetText(text, true);
    if (SpreadSheetFormula* formula = first->AsFormula()) {
        formula->SetArrayFormulaSize({ area.right - area.left + 1, area.bottom - area.top + 1 });
        formulas.AddArrayFormula(formula);
        AddChanges(sscData);
        return;
    }
    for (int row = area.top; row <= area.bottom; ++row)
        for (int column = area.left; column <= area.right; ++column)
            if (row != area.top || column != area.left)
                CreateCell(row, column)->SetText(text, true);
}

void SpreadSheetTableView::ClearCells()
{
    BeginUpdate();
    rows_->Clear();
    columns_->Clear();
    AddChanges(sscData | sscDimension | sscLayout | sscModified);
    EndUpdate();
}

SpreadSheetArea SpreadSheetTableView::GetDimensions() const
{
    if (dimensionsDirty_) {
        SpreadSheetArea area;
        for (const SpreadSheetTableRow* row = rows_->First(); row; row = row->NextRow()) {
            if (const SpreadSheetCell* last = row->LastCell())
                area.right = std::max(area.right, last->ColumnIndex());
            area.bottom = row->Index();
        }
        // TODO: merged areas widen the rectangle once merged cells exist.
        dimensions_ = area;
        dimensionsDirty_ = false;
    }
    return dimensions_;
}

void SpreadSheetTableView::FreezePanes(int column, int row)
{
    column = std::clamp(column, -1, kMaxColumnIndex);
    row = std::clamp(row, -1, kMaxRowIndex);
    if (column == frozenColumn_ && row == frozenRow_)
        return;
    frozenColumn_ = column;
    frozenRow_ = row;
    rows_->ResetPositionCache();
    columns_->ResetPositionCache();
    AddChanges(sscLayout | sscModified);
}

void SpreadSheetTableView::BeginUpdate() { ++lockCount_; }

void SpreadSheetTableView::EndUpdate()
{
    if (lockCount_ > 0 && --lockCount_ == 0)
        owner_->AddChanges(0);
}

void SpreadSheetTableView::AddChanges(SpreadSheetChanges changes)
{
    changes_ |= changes;
    if (changes & sscDimension)
        dimensionsDirty_ = true;
    if (lockCount_ == 0)
        owner_->AddChanges(0);
}

SpreadSheetChanges SpreadSheetTableView::TakeChanges(SpreadSheetChanges mask)
{
    if (lockCount_ > 0)
        return 0;
    const SpreadSheetChanges taken = changes_ & mask;
    changes_ &= ~mask;
    return taken;
}

void SpreadSheetTableView::ProcessChanges()
{
    // Layout is computed by the view from the model on demand; what remains here is to drop the
    // bits that were handled.
    changes_ &= ~static_cast<SpreadSheetChanges>(sscLayout | sscOptionsPrint | sscZoom | sscDimension);
}

} // namespace quorvel
