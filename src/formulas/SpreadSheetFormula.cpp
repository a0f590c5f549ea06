#include "formulas/SpreadSheetFormula.h"

#include "formulas/SpreadSheetFormatSettings.h"
#include "formulas/SpreadSheetFormulaController.h"
#include "formulas/SpreadSheetFormulaResult.h"
#include "formulas/SpreadSheetFormulaTokens.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"

#include <algorithm>

namespace quorvel {

SpreadSheetCustomFormula::SpreadSheetCustomFormula(SpreadSheetFormulaController* controller)
    : controller_(controller)
{
}

SpreadSheetCustomFormula::~SpreadSheetCustomFormula() { SpreadSheetFormulaToken::DestroyTokens(tokens_); }

SpreadSheet* SpreadSheetCustomFormula::Workbook() const { return controller_ ? controller_->Owner() : nullptr; }

const SpreadSheetFormatSettings& SpreadSheetCustomFormula::FormatSettings() const
{
    return controller_ ? controller_->FormatSettings() : SpreadSheetFormatSettings::Invariant();
}

void SpreadSheetCustomFormula::SetAnchor(int row, int column)
{
    anchorRow_ = row;
    anchorColumn_ = column;
    UpdateArrayFormulaArea();
}

void SpreadSheetCustomFormula::SetTokens(SpreadSheetFormulaToken* first)
{
    if (first == tokens_)
        return;
    SpreadSheetFormulaToken::DestroyTokens(tokens_);
    tokens_ = first;
    if (tokens_)
        tokens_->SetOwnerOfChain(this);
}

void SpreadSheetCustomFormula::SetError(int index, SpreadSheetFormulaErrorCode code)
{
    errorIndex_ = index;
    errorCode_ = code;
}

void SpreadSheetCustomFormula::SetIsArrayFormula(bool value)
{
    if (isArrayFormula_ == value)
        return;
    isArrayFormula_ = value;
    ClearResult();
}

void SpreadSheetCustomFormula::SetArrayFormulaSize(SpreadSheetFormulaArraySize size)
{
    arrayFormulaSize_ = size;
    SetIsArrayFormula(true);
    UpdateArrayFormulaArea();
}

void SpreadSheetCustomFormula::UpdateArrayFormulaArea()
{
    if (arrayFormulaSize_.IsEmpty()) {
        arrayFormulaArea_ = { -1, -1, -1, -1 };
        return;
    }
    arrayFormulaArea_ = { anchorColumn_, anchorRow_, anchorColumn_ + arrayFormulaSize_.ColumnCount - 1,
        anchorRow_ + arrayFormulaSize_.RowCount - 1 };
}

int SpreadSheetCustomFormula::MaxIterationCount() const
{
    const SpreadSheet* book = Workbook();
    if (!book || !Cell() || !book->OptionsBehavior().IterativeCalculation)
        return 1;
    return std::clamp(book->OptionsBehavior().IterativeCalculationMaxCount, 0, kMaxIterationCount) + 1;
}

SpreadSheetFormulaResult* SpreadSheetCustomFormula::GetResultValue()
{
    SpreadSheetFormulaController* controller = controller_;
    if (!controller || !controller->CalculationInProcess() || resultValid_)
        return StoredResult();

    // Once a descent has been given up, everything still on the stack is only unwinding.
    if (controller->Abandoned())
        return controller->AbandonedResult();
    const int maxCount = MaxIterationCount();
    const bool tooDeep = controller->EvaluationDepth() >= kMaxEvaluationDepth;
    // A fresh dependency met too deep is evaluated first from the top of the pass; a formula already
    // waiting there (or being evaluated) when met again closes a cycle, handled below as re-entry.
    if (tooDeep && iteration_ == 0 && !controller->IsDeferred(this)) {
        controller->Abandon(this);
        return controller->AbandonedResult();
    }

    const int saved = iteration_;
    ++iteration_;
    auto result = std::make_unique<SpreadSheetFormulaResult>(this);
    SpreadSheetVariant value;
    SpreadSheetFormulaErrorCode valueError = ecNone;
    if (!tooDeep && (iteration_ < 2 || iteration_ < maxCount)) {
        SpreadSheetFormulaResult* previousSubResult = calculatingSubResult_;
        if (isArrayFormula_)
            calculatingSubResult_ = result.get();
        controller->EnterEvaluation();
        try {
            Evaluate(*result);
            // The scalar is read now, while this formula still counts as being evaluated: a result
            // that is a reference into a cycle then meets the cycle as re-entry, instead of
            // recursing without end when it is read after the pass.
            value = result->GetValue(&valueError);
        } catch (...) {
            controller->LeaveEvaluation();
            calculatingSubResult_ = previousSubResult;
            iteration_ = saved;
            throw;
        }
        controller->LeaveEvaluation();
        calculatingSubResult_ = previousSubResult;
        if (controller->Abandoned()) {
            // Built on placeholders: nothing of it is kept, including the calls its tokens cached.
            iteration_ = saved;
            ClearTokenCaches();
            return controller->AbandonedResult();
        }
    } else {
        // Re-entered beyond the iteration count (or the depth bound): the cycle is cut here.
        result->AddValue(0);
        value = SpreadSheetVariant::FromInteger(0);
        if (maxCount == 1)
            controller->SetCircularReference(true);
    }
    if (controller->CircularReference()) {
        result->Clear();
        result->SetHasCircularReferences(true);
        result->AddValue(0);
        value = SpreadSheetVariant::FromInteger(0);
        valueError = ecNone;
    }
    result_ = std::move(value);
    resultError_ = valueError;
    resultValid_ = true;
    resultHasCircularReferences_ = result->HasCircularReferences();
    // Only an array formula's items are read again; any other result is kept as its scalar, so
    // that a workbook of many formulas does not hold an evaluation stack each between passes.
    if (isArrayFormula_)
        resultValue_ = std::move(result);
    else
        resultValue_.reset();
    iteration_ = saved;
    if (saved == 0 && isArrayFormula_)
        controller->WriteArrayFormulaCells(this);
    return StoredResult();
}

SpreadSheetFormulaResult* SpreadSheetCustomFormula::StoredResult() const
{
    if (resultValue_)
        return resultValue_.get();
    if (controller_)
        return controller_->ScalarResult(resultValid_ && resultHasCircularReferences_);
    static SpreadSheetFormulaResult* const zero = [] {
        static SpreadSheetFormulaResult result(nullptr);
        result.AddValue(0);
        return &result;
    }();
    return zero;
}

SpreadSheetVariant SpreadSheetCustomFormula::GetValue(SpreadSheetFormulaErrorCode* error)
{
    // Evaluating caches the value; a formula outside a pass without a result reads as 0.
    if (!resultValid_ && controller_ && controller_->CalculationInProcess())
        GetResultValue();
    if (error)
        *error = resultValid_ ? resultError_ : ecNone;
    return resultValid_ ? result_ : SpreadSheetVariant::FromInteger(0);
}

SpreadSheetVariant SpreadSheetCustomFormula::GetActualValue(SpreadSheetFormulaErrorCode* error)
{
    SpreadSheetVariant value = GetValue(error);
    return value.IsEmptyOrNull() ? SpreadSheetVariant::FromInteger(0) : value;
}

void SpreadSheetCustomFormula::ClearResult()
{
    resultValid_ = false;
    resultHasCircularReferences_ = false;
    iteration_ = 0;
    resultValue_.reset();
    result_ = {};
    resultError_ = ecNone;
}

void SpreadSheetCustomFormula::ClearTokenCaches()
{
    if (tokens_)
        for (SpreadSheetFormulaToken* token = tokens_; token; token = token->Next())
            token->ClearCache();
}

namespace {

// True when `first`..`last` lies inside the shifted block's span.
bool WithinSpan(int first, int last, const SpreadSheetReferencesShift& shift)
{
    return first >= shift.SpanFirst && last <= shift.SpanLast;
}

bool UpdateChain(SpreadSheetFormulaToken* chain, const SpreadSheetReferencesShift& shift, int origin, bool moveOrigin)
{
    bool changed = false;
    for (SpreadSheetFormulaToken* token = chain; token; token = token->Next()) {
        if (token->ChildFirst())
            changed = UpdateChain(token->ChildFirst(), shift, origin, moveOrigin) || changed;
        if (!IsReferenceKind(token->Kind()))
            continue;
        auto* reference = static_cast<SpreadSheetFormulaReferenceToken*>(token);
        SpreadSheetArea area;
        const bool moveReference = reference->TargetView() == shift.View && reference->GetArea(area)
            && (shift.Rows ? WithinSpan(area.left, area.right, shift) : WithinSpan(area.top, area.bottom, shift));
        SpreadSheetReference& first = shift.Rows ? reference->Row() : reference->Column();
        if (reference->Kind() == tkAreaReference || reference->Kind() == tk3DAreaReference) {
            auto* areaReference = static_cast<SpreadSheetFormulaAreaReferenceToken*>(reference);
            SpreadSheetReference& last = shift.Rows ? areaReference->Row2() : areaReference->Column2();
            changed = first.UpdateAreaReference(
                          last, origin, shift.Index1, shift.Index2, shift.NewIndex1, moveReference, moveOrigin)
                || changed;
        } else {
            changed = first.UpdateReference(
                          origin, shift.Index1, shift.Index2, shift.NewIndex1, moveReference, moveOrigin)
                || changed;
        }
    }
    return changed;
}

} // namespace

bool SpreadSheetCustomFormula::UpdateReferences(const SpreadSheetReferencesShift& shift)
{
    // The cell moves with the block when it lies in the block's span at or after the band.
    const int origin = shift.Rows ? anchorRow_ : anchorColumn_;
    const int across = shift.Rows ? anchorColumn_ : anchorRow_;
    const bool moveOrigin = View() == shift.View && across >= shift.SpanFirst && across <= shift.SpanLast;
    const bool changed = UpdateChain(tokens_, shift, origin, moveOrigin);
    if (moveOrigin && origin >= shift.Index1) {
        const int moved = shift.NewIndex1 < 0 ? origin - (shift.Index2 - shift.Index1 + 1)
                                              : origin + (shift.NewIndex1 - shift.Index1);
        if (shift.Rows)
            SetAnchor(moved, anchorColumn_);
        else
            SetAnchor(anchorRow_, moved);
    }
    return changed;
}

SpreadSheetFormula::SpreadSheetFormula(SpreadSheetFormulaController* controller, SpreadSheetCell* cell)
    : SpreadSheetCustomFormula(controller)
    , cell_(cell)
{
    UpdateAnchor();
    if (controller)
        controller->Add(this);
}

SpreadSheetFormula::~SpreadSheetFormula()
{
    if (Controller())
        Controller()->Remove(this);
}

SpreadSheetTableView* SpreadSheetFormula::View() const { return cell_ ? cell_->View() : nullptr; }

void SpreadSheetFormula::UpdateAnchor()
{
    if (cell_)
        SetAnchor(cell_->RowIndex(), cell_->ColumnIndex());
}

SpreadSheetExpressionFormula::SpreadSheetExpressionFormula(
    SpreadSheetFormulaController* controller, SpreadSheetTableView* view, int row, int column)
    : SpreadSheetCustomFormula(controller)
    , view_(view)
{
    SetAnchor(row, column);
}

SpreadSheetCellValue ToCellValue(const SpreadSheetVariant& value, SpreadSheetFormulaErrorCode error)
{
    SpreadSheetCellValue cell;
    if (error != ecNone) {
        cell.type = cdtError;
        cell.error = error;
        return cell;
    }
    switch (value.Type()) {
    case vtEmpty:
    case vtNull:
        // An empty item of an array result shows as 0.
        cell.type = cdtInteger;
        break;
    case vtInteger:
        cell.type = cdtInteger;
        cell.integer = value.Integer();
        break;
    case vtFloat:
        cell.type = cdtFloat;
        cell.number = value.Float();
        break;
    case vtDateTime:
        cell.type = cdtDateTime;
        cell.number = value.Float();
        break;
    case vtCurrency:
        cell.type = cdtCurrency;
        cell.currency = value.Currency();
        break;
    case vtText:
        cell.type = cdtString;
        cell.text = value.Text();
        break;
    case vtBoolean:
        cell.type = cdtBoolean;
        cell.boolean = value.Boolean();
        break;
    }
    return cell;
}

} // namespace quorvel
