#pragma once

#include "formulas/SpreadSheetVariant.h"
#include "model/SpreadSheetTypes.h"

#include <QString>

#include <memory>
#include <vector>

namespace quorvel {

class SpreadSheetCustomFormula;
class SpreadSheetFormulaToken;

/// The evaluation stack of one chain. Tokens pushed with Add belong to the formula; tokens the
/// evaluation creates (operation results, array items) are owned here and die with the result.
class SpreadSheetFormulaResult {
public:
    explicit SpreadSheetFormulaResult(SpreadSheetCustomFormula* owner);
    ~SpreadSheetFormulaResult();
    SpreadSheetFormulaResult(const SpreadSheetFormulaResult&) = delete;
    SpreadSheetFormulaResult& operator=(const SpreadSheetFormulaResult&) = delete;

    SpreadSheetCustomFormula* Owner() const { return owner_; }
    SpreadSheetFormulaErrorCode ErrorCode() const { return errorCode_; }
    void SetError(SpreadSheetFormulaErrorCode code) { errorCode_ = code; }
    /// True while no error is set.
    bool Validate() const { return errorCode_ == ecNone; }
    bool HasCircularReferences() const { return hasCircularReferences_; }
    void SetHasCircularReferences(bool value) { hasCircularReferences_ = value; }

    int Count() const { return static_cast<int>(values_.size()); }
    SpreadSheetFormulaToken* Item(int index) const { return values_[static_cast<std::size_t>(index)]; }
    SpreadSheetFormulaToken* FirstItem() const { return values_.empty() ? nullptr : values_.front(); }
    SpreadSheetFormulaToken* LastItem() const { return values_.empty() ? nullptr : values_.back(); }

    /// Pushes a token that someone else owns.
    void Add(SpreadSheetFormulaToken* token) { values_.push_back(token); }
    /// Pushes a token the result owns from now on.
    void AddTemporary(std::unique_ptr<SpreadSheetFormulaToken> token);
    void AddValue(double value);
    void AddValue(int value);
    void AddValue(const QString& value);
    void AddValue(const SpreadSheetVariant& value);
    void AddDateTimeValue(double value);
    /// Moves another result's values in (with ownership of its temporary tokens), or takes its
    /// error; a missing result sets "#VALUE!".
    void AddResultValue(SpreadSheetFormulaResult* other);
    /// Removes the item at `index` from the stack (a temporary token stays alive until Clear).
    void Delete(int index);
    /// Clears the error, the circular flag and the values.
    void Clear();
    void ClearValues();

    /// The final value: the top of the stack read through implicit intersection with the owner's
    /// anchor; on error the error's text with the code in `error`; an empty stack gives "#VALUE!".
    SpreadSheetVariant GetValue(SpreadSheetFormulaErrorCode* error = nullptr);

private:
    SpreadSheetCustomFormula* owner_;
    std::vector<SpreadSheetFormulaToken*> values_;
    std::vector<std::unique_ptr<SpreadSheetFormulaToken>> temporaryTokens_;
    SpreadSheetFormulaErrorCode errorCode_ = ecNone;
    bool hasCircularReferences_ = false;
};

} // namespace quorvel
