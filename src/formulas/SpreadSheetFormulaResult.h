#pragma once

#include "formulas/SpreadSheetVariant.h"
#include "model/SpreadSheetTypes.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace quorvel {

class SpreadSheetCustomFormula;
class SpreadSheetFormatSettings;
class SpreadSheetFormulaToken;
class SpreadSheetVector;
struct SpreadSheetFormulaTokenDimension;

/// One value handed to the procedure of ForEach.
struct SpreadSheetEnumeratedValue {
    SpreadSheetVariant Value;
    SpreadSheetFormulaErrorCode ErrorCode = ecNone;
    /// False for values reached through references, arrays and defined names: aggregates do not
    /// read their text as numbers.
    bool CanConvertStrToNumber = true;
    /// More than 1 for a run of empty cells handed over in one step.
    int Count = 1;
    /// Offset of the (first) cell from the first cell of the enumerated range or array.
    int RowOffset = 0;
    int ColumnOffset = 0;
};
/// Receives the values of one argument in turn; returning false stops the enumeration.
using SpreadSheetForEachProc = std::function<bool(const SpreadSheetEnumeratedValue&)>;

/// The evaluation stack of one chain. Tokens pushed with Add belong to the formula; tokens the
/// evaluation creates (operation results, array items) are owned here and die with the result.
///
/// Function implementations read their arguments through the Extract... family: `params` is the
/// first argument holder, `index` 0-based; each returns false and leaves the error set when it fails.
class SpreadSheetFormulaResult {
public:
    explicit SpreadSheetFormulaResult(SpreadSheetCustomFormula* owner);
    ~SpreadSheetFormulaResult();
    SpreadSheetFormulaResult(const SpreadSheetFormulaResult&) = delete;
    SpreadSheetFormulaResult& operator=(const SpreadSheetFormulaResult&) = delete;

    SpreadSheetCustomFormula* Owner() const { return owner_; }
    /// The settings of the owner formula: its workbook's, or the invariant ones.
    const SpreadSheetFormatSettings& FormatSettings() const;
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

    /// Evaluates a chain onto this result, token by token, stopping at the first error. A failure
    /// inside a token ends the chain with "#NUM!".
    void Calculate(SpreadSheetFormulaToken* chain);

    /// Pushes a token that someone else owns.
    void Add(SpreadSheetFormulaToken* token) { values_.push_back(token); }
    /// Pushes a token the result owns from now on.
    void AddTemporary(std::unique_ptr<SpreadSheetFormulaToken> token);
    /// A number that is not finite (overflow, a failed library function) sets "#NUM!" instead.
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

    // Parameter access.
    static int GetParamsCount(const SpreadSheetFormulaToken* params);
    static bool ParameterExists(const SpreadSheetFormulaToken* params, int index);
    /// The holder of argument `index`; null beyond the last argument.
    static SpreadSheetFormulaToken* GetParameter(SpreadSheetFormulaToken* params, int index);

    /// The plain value of an argument (implicit intersection applied); a missing argument gives
    /// "#N/A" and an argument in error passes its error on.
    bool ExtractParameter(SpreadSheetVariant& value, SpreadSheetFormulaToken* params, int index);
    /// Also reports whether text of the argument may be read as a number (its first token decides).
    bool ExtractParameter(
        SpreadSheetVariant& value, bool& canConvertStrToNumber, SpreadSheetFormulaToken* params, int index);
    /// As ExtractParameter; an empty argument gives `defaultIfNull`.
    bool ExtractParameterDef(SpreadSheetVariant& value, bool& canConvertStrToNumber,
        const SpreadSheetVariant& defaultIfNull, SpreadSheetFormulaToken* params, int index);
    /// As above; a missing argument gives `defaultIfMissing`.
    bool ExtractParameterDef(SpreadSheetVariant& value, bool& canConvertStrToNumber,
        const SpreadSheetVariant& defaultIfMissing, const SpreadSheetVariant& defaultIfNull,
        SpreadSheetFormulaToken* params, int index);
    /// The argument as a number; text is read when the argument allows it, and text that fails
    /// but reads as a positive date gives that date's serial number.
    bool ExtractNumericParameter(double& value, SpreadSheetFormulaToken* params, int index);
    /// As ExtractNumericParameter; a Boolean is "#VALUE!".
    bool ExtractNumericParameterWithoutBoolean(double& value, SpreadSheetFormulaToken* params, int index);
    bool ExtractNumericParameterDef(
        double& value, double defaultIfMissing, double defaultIfNull, SpreadSheetFormulaToken* params, int index);
    bool ExtractNumericParameterDefWithoutBoolean(
        double& value, double defaultIfMissing, double defaultIfNull, SpreadSheetFormulaToken* params, int index);
    /// The argument as text.
    bool ExtractStringParameter(QString& value, SpreadSheetFormulaToken* params, int index);
    /// Pops the top of the stack and reads it as text.
    bool ExtractStringValue(QString& value);
    /// Pops the top of the stack and reads its value as seen from the anchor.
    bool ExtractValue(SpreadSheetVariant& value);
    /// Pops the top of the stack; an empty stack gives a null token. The token lives as long as
    /// the result when the result owns it.
    SpreadSheetFormulaToken* ExtractValueToken();
    /// Evaluates an argument and returns its error code (ecNone when it has none), with its value
    /// when asked; the result's own error is left alone. For the error-testing functions.
    SpreadSheetFormulaErrorCode ExtractErrorCode(
        SpreadSheetFormulaToken* params, int index = 0, SpreadSheetVariant* value = nullptr);
    /// Rows x columns of what an argument evaluates to (a range, an array or one value).
    bool ExtractParameterDimension(
        SpreadSheetFormulaTokenDimension& dimension, SpreadSheetFormulaToken* params, int index);
    /// Evaluates an argument and pushes its results as they are: a reference stays a reference.
    bool AddParameterValues(SpreadSheetFormulaToken* params, int index);
    /// Column or row `vectorIndex` (0-based within the argument) of a range or array argument.
    std::unique_ptr<SpreadSheetVector> ExtractColumnFromRange(
        SpreadSheetFormulaToken* params, int index, int vectorIndex);
    std::unique_ptr<SpreadSheetVector> ExtractRowFromRange(SpreadSheetFormulaToken* params, int index, int vectorIndex);

    /// Hands every value of one argument (its holder) to `proc`: ranges clipped to the sheet's used
    /// range column by column with runs of empty cells in one step, arrays item by item, anything
    /// else value by value. False when `proc` stopped the enumeration.
    bool ForEach(SpreadSheetFormulaToken* param, const SpreadSheetForEachProc& proc);

    /// Reads a value as a number for an operation or a function; sets "#VALUE!" and returns false
    /// when it cannot.
    bool ConvertToNumeric(
        const SpreadSheetVariant& value, double& number, bool canConvertStrToNumber, bool withoutBoolean);

private:
    friend class SpreadSheetFormulaFunctionToken;

    /// The item that stands for an argument while a function is called once per array position.
    struct LiftedArgument {
        const SpreadSheetFormulaToken* holder;
        SpreadSheetVariant value;
        SpreadSheetFormulaErrorCode error;
    };

    const LiftedArgument* FindLiftedArgument(const SpreadSheetFormulaToken* holder) const;
    /// Evaluates the chain of an argument holder onto `target`.
    void CalculateArgument(const SpreadSheetFormulaToken* holder, SpreadSheetFormulaResult& target) const;
    /// The value of an argument seen from the anchor, without a result of its own where the
    /// argument is a single operand.
    void ReadArgument(const SpreadSheetFormulaToken* holder, SpreadSheetVariant& value,
        SpreadSheetFormulaErrorCode& error, bool& canConvertStrToNumber) const;
    bool ExtractNumber(double& value, SpreadSheetFormulaToken* params, int index, bool withoutBoolean,
        const double* defaultIfMissing, double defaultIfNull);
    std::unique_ptr<SpreadSheetVector> ExtractVector(
        SpreadSheetFormulaToken* params, int index, int vectorIndex, bool isColumn);
    bool EnumerateToken(SpreadSheetFormulaToken* token, const SpreadSheetForEachProc& proc);
    bool Fail(SpreadSheetFormulaErrorCode code)
    {
        errorCode_ = code;
        return false;
    }

    SpreadSheetCustomFormula* owner_;
    std::vector<SpreadSheetFormulaToken*> values_;
    std::vector<std::unique_ptr<SpreadSheetFormulaToken>> temporaryTokens_;
    const std::vector<LiftedArgument>* liftedArguments_ = nullptr;
    SpreadSheetFormulaErrorCode errorCode_ = ecNone;
    bool hasCircularReferences_ = false;
};

} // namespace quorvel
