#include "formulas/SpreadSheetFormulaController.h"

#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaResult.h"
#include "formulas/SpreadSheetFormulaTokens.h"
#include "formulas/SpreadSheetReferencePath.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetStrings.h"
#include "model/SpreadSheetTableView.h"
#include "model/SpreadSheetValueText.h"

#include <QScopeGuard>

#include <algorithm>

namespace quorvel {

namespace {

SpreadSheetVariant CellToVariant(const SpreadSheetCell& cell)
{
    switch (cell.DataType()) {
    case cdtBoolean:
        return SpreadSheetVariant::FromBoolean(cell.AsBoolean());
    case cdtCurrency:
        return SpreadSheetVariant::FromCurrency(cell.AsCurrency());
    case cdtFloat:
    case cdtDateTime: // formulas see a date as its serial number
        return SpreadSheetVariant::FromFloat(cell.AsFloat());
    case cdtInteger:
        return SpreadSheetVariant::FromInteger(cell.AsInteger());
    case cdtString:
        return SpreadSheetVariant::FromText(cell.AsString());
    default:
        return {};
    }
}

// The item of an array formula's result at the given offset from its anchor.
void ArrayResultItem(SpreadSheetFormulaResult* result, int rowOffset, int columnOffset, SpreadSheetVariant& value,
    SpreadSheetFormulaErrorCode& error)
{
    value = {};
    error = result->ErrorCode();
    if (error != ecNone)
        return;
    SpreadSheetFormulaToken* top = result->LastItem();
    if (!top) {
        error = ecValue;
        return;
    }
    top->GetValueAsArrayItem(rowOffset, columnOffset, value, error);
}

} // namespace

SpreadSheetFormulaController::SpreadSheetFormulaController(SpreadSheet* owner)
    : owner_(owner)
{
    for (int circular = 0; circular < 2; ++circular) {
        scalarResults_[circular] = std::make_unique<SpreadSheetFormulaResult>(nullptr);
        scalarResults_[circular]->AddValue(0);
        scalarResults_[circular]->SetHasCircularReferences(circular != 0);
    }
}

SpreadSheetFormulaController::~SpreadSheetFormulaController() = default;

const SpreadSheetFormatSettings& SpreadSheetFormulaController::FormatSettings() const
{
    return owner_->FormatSettings();
}

void SpreadSheetFormulaController::Add(SpreadSheetCustomFormula* formula)
{
    if (formula->listIndex_ >= 0)
        return;
    formula->listIndex_ = static_cast<int>(formulas_.size());
    formulas_.push_back(formula);
}

void SpreadSheetFormulaController::Remove(SpreadSheetCustomFormula* formula)
{
    if (formula->listIndex_ >= 0) {
        formulas_[static_cast<std::size_t>(formula->listIndex_)] = nullptr;
        formula->listIndex_ = -1;
        ++holeCount_;
        if (!calculationInProcess_ && holeCount_ > static_cast<int>(formulas_.size()) / 2)
            Compact();
    }
    if (formula->IsArrayFormula()) {
        for (auto it = arrayFormulas_.begin(); it != arrayFormulas_.end(); ++it) {
            auto& list = it->second;
            const auto found = std::find(list.begin(), list.end(), formula);
            if (found == list.end())
                continue;
            list.erase(found);
            if (list.empty())
                arrayFormulas_.erase(it);
            break;
        }
    }
    std::erase(deferred_, formula);
}

void SpreadSheetFormulaController::Compact()
{
    std::erase(formulas_, nullptr);
    for (std::size_t i = 0; i < formulas_.size(); ++i)
        formulas_[i]->listIndex_ = static_cast<int>(i);
    holeCount_ = 0;
}

bool SpreadSheetFormulaController::IsDeferred(const SpreadSheetCustomFormula* formula) const
{
    return std::find(deferred_.begin(), deferred_.end(), formula) != deferred_.end();
}

void SpreadSheetFormulaController::Calculate()
{
    if (calculationInProcess_)
        return;
    Compact();
    calculationInProcess_ = true;
    circularReferencePaths_.clear();
    circularPath_.reset();
    const auto end = qScopeGuard([this] { EndPass(); });

    for (SpreadSheetCustomFormula* formula : formulas_)
        formula->ClearResult();
    UpdateAnchorsAndBounds();
    // Indexes, not iterators: a formula inside a foreign array area is freed on the way, and
    // freeing leaves a hole in its place.
    for (std::size_t i = 0; i < formulas_.size(); ++i) {
        SpreadSheetCustomFormula* formula = formulas_[i];
        if (!formula)
            continue;
        SpreadSheetCell* cell = formula->Cell();
        if (cell && !formula->IsArrayFormula()
            && FindArrayFormula(formula->View(), formula->AnchorRow(), formula->AnchorColumn()) == 2) {
            // A cell covered by an array formula keeps no formula of its own.
            updatingSlaveCells_ = true;
            cell->SetValue(SpreadSheetCellValue {});
            updatingSlaveCells_ = false;
            continue;
        }
        EvaluateTopLevel(formula);
    }
}

void SpreadSheetFormulaController::CalculateFormula(SpreadSheetCustomFormula* formula)
{
    if (calculationInProcess_ || formula->HasResult())
        return;
    calculationInProcess_ = true;
    const auto end = qScopeGuard([this] { EndPass(); });
    EvaluateTopLevel(formula);
}

void SpreadSheetFormulaController::EndPass()
{
    for (SpreadSheetCustomFormula* formula : formulas_)
        if (formula)
            formula->ClearTokenCaches();
    deferred_.clear();
    abandonedAt_ = nullptr;
    circularPath_.reset();
    circularReference_ = false;
    evaluationDepth_ = 0;
    calculationInProcess_ = false;
}

void SpreadSheetFormulaController::Abandon(SpreadSheetCustomFormula* formula) { abandonedAt_ = formula; }

void SpreadSheetFormulaController::EvaluateTopLevel(SpreadSheetCustomFormula* formula)
{
    // A chain too deep for one descent is finished from its innermost unevaluated formula upwards:
    // each restart begins at the point where the last descent gave up.
    deferred_.push_back(formula);
    while (!deferred_.empty()) {
        EvaluateRecordingCycles(deferred_.back());
        if (abandonedAt_) {
            deferred_.push_back(std::exchange(abandonedAt_, nullptr));
            evaluationDepth_ = 0;
        } else {
            deferred_.pop_back();
        }
    }
}

void SpreadSheetFormulaController::EvaluateRecordingCycles(SpreadSheetCustomFormula* formula)
{
    circularReference_ = false;
    formula->GetResultValue();
    if (!circularReference_ || abandonedAt_)
        return;
    // Evaluate once more, now recording the cells the evaluation goes through, to report the cycle.
    formula->ClearResult();
    formula->ClearTokenCaches();
    circularReference_ = false;
    circularPath_ = std::make_unique<SpreadSheetReferencePath>(formula->AnchorRow(), formula->AnchorColumn(), formula->View());
    formula->GetResultValue();
    if (circularReference_ && formula->Cell() && !abandonedAt_)
        circularReferencePaths_.push_back(std::move(circularPath_));
    circularPath_.reset();
    circularReference_ = false;
}

// Results hold references that are read when their value is asked for; should such reads ever
// chase each other round a cycle, they stop as a cycle instead of exhausting the stack.
bool SpreadSheetFormulaController::ReadTooDeep(SpreadSheetVariant& value)
{
    if (readDepth_ <= kMaxEvaluationDepth * 2)
        return false;
    circularReference_ = true;
    value = SpreadSheetVariant::FromInteger(0);
    return true;
}

void SpreadSheetFormulaController::ReadCellValue(
    SpreadSheetTableView* view, int row, int column, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    value = {};
    error = ecNone;
    if (!view)
        return;
    SpreadSheetCustomFormula* arrayFormula = nullptr;
    if (!arrayFormulas_.empty() && FindArrayFormula(view, row, column, &arrayFormula) == 2) {
        ++readDepth_;
        const auto leave = qScopeGuard([this] { --readDepth_; });
        if (ReadTooDeep(value))
            return;
        SpreadSheetFormulaResult* result = nullptr;
        if (!ReadsItself(arrayFormula, value, result))
            return;
        if (!result)
            result = arrayFormula->GetResultValue();
        if (result->HasCircularReferences())
            circularReference_ = true;
        ArrayResultItem(
            result, row - arrayFormula->AnchorRow(), column - arrayFormula->AnchorColumn(), value, error);
        if (error != ecNone)
            value = SpreadSheetVariant::FromText(ErrorCodeToText(error));
        return;
    }
    ReadCell(view->GetCell(row, column), value, error);
}

void SpreadSheetFormulaController::ReadCellValue(
    const SpreadSheetCell* cell, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    value = {};
    error = ecNone;
    if (!arrayFormulas_.empty()) {
        SpreadSheetTableView* view = cell->View();
        if (FindArrayFormula(view, cell->RowIndex(), cell->ColumnIndex()) == 2) {
            ReadCellValue(view, cell->RowIndex(), cell->ColumnIndex(), value, error);
            return;
        }
    }
    ReadCell(cell, value, error);
}

void SpreadSheetFormulaController::ReadCell(
    const SpreadSheetCell* cell, SpreadSheetVariant& value, SpreadSheetFormulaErrorCode& error)
{
    if (!cell)
        return;
    switch (cell->DataType()) {
    case cdtError:
        error = cell->AsError();
        value = SpreadSheetVariant::FromText(ErrorCodeToText(error));
        return;
    case cdtFormula: {
        ++readDepth_;
        const auto leave = qScopeGuard([this] { --readDepth_; });
        if (ReadTooDeep(value))
            return;
        SpreadSheetCustomFormula* formula = cell->AsFormula();
        if (circularPath_)
            circularPath_->Add(cell->RowIndex(), cell->ColumnIndex(), cell->View());
        SpreadSheetFormulaResult* result = nullptr;
        if (ReadsItself(formula, value, result)) {
            if (result) {
                value = result->GetValue(&error);
            } else {
                result = formula->GetResultValue();
                value = formula->GetActualValue(&error);
            }
            if (result->HasCircularReferences())
                circularReference_ = true;
            if (value.IsEmptyOrNull())
                value = SpreadSheetVariant::FromInteger(0);
        }
        if (circularPath_ && !circularReference_)
            circularPath_->Remove(cell->RowIndex(), cell->ColumnIndex(), cell->View());
        return;
    }
    default:
        value = CellToVariant(*cell);
        return;
    }
}

bool SpreadSheetFormulaController::ReadsItself(
    SpreadSheetCustomFormula* formula, SpreadSheetVariant& value, SpreadSheetFormulaResult*& partial)
{
    partial = formula->CalculatingSubResult();
    if (!partial)
        return true;
    // An array formula reading its own area while it is being built: with iteration the partial
    // result is read, otherwise this is a cycle like any other re-entry.
    if (formula->MaxIterationCount() > 1)
        return true;
    circularReference_ = true;
    value = SpreadSheetVariant::FromInteger(0);
    return false;
}

bool SpreadSheetFormulaController::CheckCircularReferences()
{
    const bool exist = !circularReferencePaths_.empty();
    if (hasCircularReferences_ && exist)
        return false;
    hasCircularReferences_ = exist;
    return exist;
}

QString SpreadSheetFormulaController::GetCircularReferencePathsAsString() const
{
    const auto captionOf = [](const SpreadSheetTableView* view) -> const ISpreadSheetViewCaption* { return view; };
    QStringList lines;
    for (const auto& path : circularReferencePaths_) {
        QStringList cells;
        for (const SpreadSheetReferencePath* node = path.get(); node; node = node->Next())
            cells.append(node->ToString(captionOf));
        lines.append(sCircularReferencePathPrefix.Text() + cells.join(u" -> "));
    }
    return lines.join(u"\r\n");
}

void SpreadSheetFormulaController::UpdateReferences(
    SpreadSheetTableView* sheet, const SpreadSheetArea& area, SpreadSheetFormulaUpdateReferencesMode mode, bool vertical)
{
    SpreadSheetReferencesShift shift;
    shift.View = sheet;
    shift.Rows = vertical;
    shift.Index1 = vertical ? area.top : area.left;
    shift.Index2 = vertical ? area.bottom : area.right;
    shift.NewIndex1 = mode == urmInsert ? shift.Index2 + 1 : -1;
    shift.SpanFirst = vertical ? area.left : area.top;
    shift.SpanLast = vertical ? area.right : area.bottom;
    SpreadSheetHistory& history = owner_->History();
    for (SpreadSheetCustomFormula* formula : formulas_) {
        if (!formula)
            continue;
        const bool record = mode == urmDelete && formula->Cell() && history.CanAddCommand();
        const QString before = record ? formula->AsText() : QString();
        if (formula->UpdateReferences(shift) && record && formula->AsText() != before)
            history.AddCommand(std::make_unique<SpreadSheetHistoryFormulaChangedCommand>(formula->Cell(), before));
    }
    owner_->AddChanges(sscData);
}

void SpreadSheetFormulaController::AddArrayFormula(SpreadSheetCustomFormula* formula)
{
    auto& list = arrayFormulas_[formula->View()];
    if (std::find(list.begin(), list.end(), formula) == list.end())
        list.push_back(formula);
}

int SpreadSheetFormulaController::FindArrayFormula(
    const SpreadSheetTableView* view, int row, int column, SpreadSheetCustomFormula** formula) const
{
    const auto it = arrayFormulas_.find(view);
    if (it == arrayFormulas_.end())
        return 0;
    for (SpreadSheetCustomFormula* candidate : it->second) {
        const SpreadSheetArea area = candidate->ArrayFormulaArea();
        if (!area.Contains(row, column))
            continue;
        if (formula)
            *formula = candidate;
        return row == candidate->AnchorRow() && column == candidate->AnchorColumn() ? 1 : 2;
    }
    return 0;
}

void SpreadSheetFormulaController::EnumArrayFormulas(
    const SpreadSheetTableView* view, const std::function<bool(SpreadSheetCustomFormula*)>& proc) const
{
    const auto it = arrayFormulas_.find(view);
    if (it == arrayFormulas_.end())
        return;
    for (SpreadSheetCustomFormula* formula : it->second)
        if (!proc(formula))
            return;
}

bool SpreadSheetFormulaController::CanModifyDataInArrayFormulaArea(
    const SpreadSheetTableView* view, const SpreadSheetArea& area, bool arrayMode) const
{
    if (arrayMode && area.left == area.right && area.top == area.bottom)
        return true;
    bool result = true;
    EnumArrayFormulas(view, [&](SpreadSheetCustomFormula* formula) {
        const SpreadSheetArea bounds = formula->ArrayFormulaArea();
        const bool outside = bounds.right < area.left || bounds.left > area.right || bounds.bottom < area.top
            || bounds.top > area.bottom;
        const bool inside = bounds.left >= area.left && bounds.right <= area.right && bounds.top >= area.top
            && bounds.bottom <= area.bottom;
        result = outside || inside;
        return result;
    });
    return result;
}

void SpreadSheetFormulaController::UpdateAnchorsAndBounds()
{
    for (SpreadSheetCustomFormula* formula : formulas_)
        if (formula)
            formula->UpdateAnchor();
}

void SpreadSheetFormulaController::WriteArrayFormulaCells(SpreadSheetCustomFormula* formula)
{
    SpreadSheetTableView* view = formula->View();
    const SpreadSheetArea area = formula->ArrayFormulaArea();
    if (!view || area.left < 0 || (circularReference_ && !circularPath_))
        return;
    SpreadSheetFormulaResult* result = formula->GetResultValue();
    updatingSlaveCells_ = true;
    const auto reset = qScopeGuard([this] { updatingSlaveCells_ = false; });
    for (int row = area.top; row <= area.bottom; ++row) {
        for (int column = area.left; column <= area.right; ++column) {
            if (row == formula->AnchorRow() && column == formula->AnchorColumn())
                continue;
            SpreadSheetVariant value;
            SpreadSheetFormulaErrorCode error = ecNone;
            ArrayResultItem(result, row - formula->AnchorRow(), column - formula->AnchorColumn(), value, error);
            view->CreateCell(row, column)->SetValue(ToCellValue(value, error));
        }
    }
}

} // namespace quorvel
