#include "formulas/SpreadSheetFormulaResult.h"

#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaTokens.h"
#include "model/SpreadSheetValueText.h"

#include <cmath>

namespace quorvel {

SpreadSheetFormulaResult::SpreadSheetFormulaResult(SpreadSheetCustomFormula* owner)
    : owner_(owner)
{
}

SpreadSheetFormulaResult::~SpreadSheetFormulaResult() = default;

void SpreadSheetFormulaResult::AddTemporary(std::unique_ptr<SpreadSheetFormulaToken> token)
{
    values_.push_back(token.get());
    temporaryTokens_.push_back(std::move(token));
}

void SpreadSheetFormulaResult::AddValue(double value) { AddValue(SpreadSheetVariant::FromFloat(value)); }

void SpreadSheetFormulaResult::AddValue(int value) { AddValue(SpreadSheetVariant::FromInteger(value)); }

void SpreadSheetFormulaResult::AddValue(const QString& value) { AddValue(SpreadSheetVariant::FromText(value)); }

void SpreadSheetFormulaResult::AddValue(const SpreadSheetVariant& value)
{
    // Overflow and failed library functions leave infinities and NaNs; they are no values.
    if ((value.Type() == vtFloat || value.Type() == vtDateTime) && !std::isfinite(value.Float())) {
        SetError(ecNUM);
        return;
    }
    AddTemporary(std::make_unique<SpreadSheetFormulaVariantToken>(value));
}

void SpreadSheetFormulaResult::AddDateTimeValue(double value) { AddValue(SpreadSheetVariant::FromDateTime(value)); }

void SpreadSheetFormulaResult::AddResultValue(SpreadSheetFormulaResult* other)
{
    if (!other) {
        SetError(ecValue);
        return;
    }
    if (!other->Validate()) {
        SetError(other->ErrorCode());
        return;
    }
    values_.insert(values_.end(), other->values_.begin(), other->values_.end());
    for (auto& token : other->temporaryTokens_)
        temporaryTokens_.push_back(std::move(token));
    other->values_.clear();
    other->temporaryTokens_.clear();
}

void SpreadSheetFormulaResult::Delete(int index) { values_.erase(values_.begin() + index); }

void SpreadSheetFormulaResult::Clear()
{
    errorCode_ = ecNone;
    hasCircularReferences_ = false;
    ClearValues();
}

void SpreadSheetFormulaResult::ClearValues()
{
    values_.clear();
    temporaryTokens_.clear();
}

SpreadSheetVariant SpreadSheetFormulaResult::GetValue(SpreadSheetFormulaErrorCode* error)
{
    SpreadSheetFormulaErrorCode code = errorCode_;
    SpreadSheetVariant value;
    if (code == ecNone) {
        if (SpreadSheetFormulaToken* top = LastItem()) {
            const int row = owner_ ? owner_->AnchorRow() : 0;
            const int column = owner_ ? owner_->AnchorColumn() : 0;
            top->GetValueRelatedWithCell(row, column, value, code);
        } else {
            code = ecValue;
        }
    }
    if (code != ecNone)
        value = SpreadSheetVariant::FromText(ErrorCodeToText(code));
    if (error)
        *error = code;
    return value;
}

} // namespace quorvel
