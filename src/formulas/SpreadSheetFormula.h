#pragma once

#include "formulas/SpreadSheetVariant.h"
#include "model/SpreadSheetTypes.h"

#include <QString>

#include <memory>

namespace quorvel {

class SpreadSheet;
class SpreadSheetCell;
class SpreadSheetCustomFormula;
class SpreadSheetFormatSettings;
class SpreadSheetFormulaController;
class SpreadSheetFormulaResult;
class SpreadSheetFormulaToken;
class SpreadSheetTableView;

/// Longest formula text accepted, in characters after the "=".
inline constexpr int kMaxFormulaLength = 8192;
inline constexpr int kMaxFormulaReferenceCount = 2048;
/// Most tokens in one chain (one expression or one argument list).
inline constexpr int kMaxFormulaChainLength = 254;
inline constexpr int kMaxFormulaNestingLevel = 64;

/// A structural edit of one sheet as references see it: along rows (or columns), the band
/// Index1..Index2 is deleted (NewIndex1 < 0) or Index1 onwards moves to NewIndex1 (an insertion),
/// within the block of columns (or rows) SpanFirst..SpanLast that shifts.
struct SpreadSheetReferencesShift {
    const SpreadSheetTableView* View = nullptr;
    bool Rows = true;
    int Index1 = 0;
    int Index2 = 0;
    int NewIndex1 = -1;
    int SpanFirst = 0;
    int SpanLast = 0;
};

/// Size of an array formula's area.
struct SpreadSheetFormulaArraySize {
    int ColumnCount = 0;
    int RowCount = 0;
    bool IsEmpty() const { return ColumnCount <= 0 || RowCount <= 0; }
    bool operator==(const SpreadSheetFormulaArraySize&) const = default;
};

/// A parsed formula: its token chain in postfix order, the text it came from, the parse error if
/// any, and the cached result of the current calculation pass.
class SpreadSheetCustomFormula {
public:
    explicit SpreadSheetCustomFormula(SpreadSheetFormulaController* controller);
    virtual ~SpreadSheetCustomFormula();
    SpreadSheetCustomFormula(const SpreadSheetCustomFormula&) = delete;
    SpreadSheetCustomFormula& operator=(const SpreadSheetCustomFormula&) = delete;

    SpreadSheetFormulaController* Controller() const { return controller_; }
    /// The workbook of the controller; null for a formula without one.
    SpreadSheet* Workbook() const;
    /// The settings the formula is read and printed with: the workbook's, or the invariant ones.
    const SpreadSheetFormatSettings& FormatSettings() const;
    /// The sheet of the formula; null for formulas that live outside a sheet.
    virtual SpreadSheetTableView* View() const { return nullptr; }
    virtual SpreadSheetCell* Cell() const { return nullptr; }

    int AnchorRow() const { return anchorRow_; }
    int AnchorColumn() const { return anchorColumn_; }
    void SetAnchor(int row, int column);
    /// Takes the anchor again from the owner (a cell formula follows its cell).
    virtual void UpdateAnchor() { }

    SpreadSheetFormulaToken* Tokens() const { return tokens_; }
    /// Takes ownership of a token chain, replacing (and destroying) the previous one.
    void SetTokens(SpreadSheetFormulaToken* first);
    const QString& SourceText() const { return sourceText_; }
    void SetSourceText(QString text) { sourceText_ = std::move(text); }
    /// Parse error: 1-based position of the first error (0 = none) and the formula error it carries.
    int ErrorIndex() const { return errorIndex_; }
    SpreadSheetFormulaErrorCode ErrorCode() const { return errorCode_; }
    void SetError(int index, SpreadSheetFormulaErrorCode code);

    bool IsArrayFormula() const { return isArrayFormula_; }
    void SetIsArrayFormula(bool value);
    SpreadSheetFormulaArraySize ArrayFormulaSize() const { return arrayFormulaSize_; }
    /// Makes the formula an array formula of that size and recomputes its area.
    void SetArrayFormulaSize(SpreadSheetFormulaArraySize size);
    /// The anchor to the anchor + size - 1; empty (-1) for a formula without a size.
    SpreadSheetArea ArrayFormulaArea() const { return arrayFormulaArea_; }
    void UpdateArrayFormulaArea();

    /// Moves the references into the shifted block with it (a reference into a deleted band becomes
    /// "#REF!") and keeps relative references steady when the formula's own cell moves. The anchor
    /// follows the cell. True when a reference changed.
    bool UpdateReferences(const SpreadSheetReferencesShift& shift);

    /// Refuses a formula beyond the limits with ESpreadSheetFormulaIsTooLongError.
    void Validate() const;
    /// "=" followed by the text of the tokens; a formula with a syntax error gives its source text.
    QString AsText() const;

    /// Evaluates the token chain onto `result` (no caching; the controller caches). Failures inside
    /// the tokens end the chain with an error code on the result.
    void Evaluate(SpreadSheetFormulaResult& result);

    // Caching within a calculation pass; driven by the controller.
    /// The result of the current pass, evaluating first if needed. Only an array formula keeps its
    /// whole evaluation stack; any other formula answers with a shared result that carries its
    /// circular-reference mark, its value being kept as a scalar (GetValue).
    SpreadSheetFormulaResult* GetResultValue();
    /// The scalar value seen from the anchor; with the error code of the result in `error`.
    SpreadSheetVariant GetValue(SpreadSheetFormulaErrorCode* error = nullptr);
    /// As GetValue, with empty and null read as 0.
    SpreadSheetVariant GetActualValue(SpreadSheetFormulaErrorCode* error = nullptr);
    /// The result being built while an array formula evaluates (it is read by its own slave cells).
    SpreadSheetFormulaResult* CalculatingSubResult() const { return calculatingSubResult_; }
    bool HasResult() const { return resultValid_; }
    void ClearResult();
    /// Resets the per-pass caches of the tokens.
    void ClearTokenCaches();
    /// 1 without iterative calculation, else the workbook's iteration count + 1.
    int MaxIterationCount() const;

protected:
    int anchorRow_ = 0;
    int anchorColumn_ = 0;

private:
    friend class SpreadSheetFormulaController;

    SpreadSheetFormulaController* controller_;
    int listIndex_ = -1; // position in the controller's list
    SpreadSheetFormulaToken* tokens_ = nullptr;
    QString sourceText_;
    int errorIndex_ = 0;
    SpreadSheetFormulaErrorCode errorCode_ = ecNone;
    bool isArrayFormula_ = false;
    SpreadSheetFormulaArraySize arrayFormulaSize_;
    SpreadSheetArea arrayFormulaArea_ { -1, -1, -1, -1 };

    SpreadSheetFormulaResult* StoredResult() const;

    std::unique_ptr<SpreadSheetFormulaResult> resultValue_; // array formulas only
    SpreadSheetFormulaResult* calculatingSubResult_ = nullptr;
    SpreadSheetVariant result_;
    SpreadSheetFormulaErrorCode resultError_ = ecNone;
    bool resultValid_ = false;
    bool resultHasCircularReferences_ = false;
    int iteration_ = 0;
};

/// The formula of a cell: anchored at the cell, evaluated on its sheet, kept in the controller's list.
class SpreadSheetFormula final : public SpreadSheetCustomFormula {
public:
    SpreadSheetFormula(SpreadSheetFormulaController* controller, SpreadSheetCell* cell);
    ~SpreadSheetFormula() override;

    SpreadSheetTableView* View() const override;
    SpreadSheetCell* Cell() const override { return cell_; }
    void UpdateAnchor() override;

private:
    SpreadSheetCell* cell_;
};

/// A formula evaluated on a sheet at a given anchor without belonging to a cell (expressions typed
/// for evaluation, conditions of formatting rules).
class SpreadSheetExpressionFormula final : public SpreadSheetCustomFormula {
public:
    SpreadSheetExpressionFormula(SpreadSheetFormulaController* controller, SpreadSheetTableView* view, int row, int column);
    SpreadSheetTableView* View() const override { return view_; }

private:
    SpreadSheetTableView* view_;
};

/// Reads a typed text into a new formula of `cell`: null when the text does not start with "=" or
/// does not form a formula (a syntax error that carries no formula error, such as "=1+"). Raises
/// ESpreadSheetFormulaIsTooLongError beyond the limits.
std::unique_ptr<SpreadSheetFormula> ParseCellFormula(SpreadSheetCell* cell, const QString& text);
/// Reads a text into a formula that does not belong to a cell, by the same rules; false when the
/// formula is not usable (then it holds no tokens).
bool ParseExpressionFormula(const QString& text, SpreadSheetCustomFormula& formula);

struct SpreadSheetCellValue;
/// A formula result as a cell stores it: an error as the error, an empty value as 0.
SpreadSheetCellValue ToCellValue(const SpreadSheetVariant& value, SpreadSheetFormulaErrorCode error);

} // namespace quorvel
