#pragma once

#include "model/SpreadSheetTypes.h"

#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>

namespace quorvel {

class SpreadSheet;
class SpreadSheetTableView;
class SpreadSheetTableRow;
class SpreadSheetTableColumn;
class SpreadSheetSharedString;
class SpreadSheetCellStyleHandle;
class SpreadSheetCellStyle;
class SpreadSheetFormatSettings;
class SpreadSheetFormula;
template <class Item>
class SparseList;

/// A value as it can be stored in a cell; strings are carried as text until they are interned.
struct SpreadSheetCellValue {
    SpreadSheetCellDataType type = cdtBlank;
    double number = 0; // float, date-time
    std::int64_t currency = 0;
    int integer = 0;
    bool boolean = false;
    SpreadSheetFormulaErrorCode error = ecNone;
    QString text;
    // A formula travels as its text, an array formula also with the size of its area.
    int arrayColumns = 0;
    int arrayRows = 0;
};

/// One stored cell. Kept small: a million cells of a sheet are a million of these, allocated from
/// the sheet's pool and linked into their row's sorted list.
class SpreadSheetCell {
public:
    SpreadSheetCell(const SpreadSheetCell&) = delete;
    SpreadSheetCell& operator=(const SpreadSheetCell&) = delete;

    SpreadSheetTableRow* Row() const { return row_; }
    SpreadSheetTableColumn* Column() const;
    SpreadSheetTableView* View() const;
    SpreadSheet* SpreadSheetOwner() const;
    int RowIndex() const;
    int ColumnIndex() const { return index_; }
    /// Moving a cell: the target is clamped to the grid; an occupied target raises sErrorCellAlreadyExists.
    void SetRowIndex(int row) { MoveTo(row, index_); }
    void SetColumnIndex(int column) { MoveTo(RowIndex(), column); }
    void MoveTo(int row, int column);

    SpreadSheetCellDataType DataType() const { return dataType_; }
    bool IsEmpty() const { return dataType_ == cdtBlank; }
    bool IsFormula() const { return dataType_ == cdtFormula; }
    bool HasValue() const;
    DefaultBoolean ShowFormula() const { return showFormula_; }
    /// True for a formula cell that shows its formula text rather than its result (the cell's own
    /// setting, else the sheet's, else the workbook's).
    bool ShowsFormulaText() const;
    void SetShowFormula(DefaultBoolean value) { showFormula_ = value; }

    bool AsBoolean() const;
    std::int64_t AsCurrency() const; // amount x 10000
    double AsDateTime() const;
    SpreadSheetFormulaErrorCode AsError() const;
    double AsFloat() const;
    int AsInteger() const;
    SpreadSheetSharedString* AsSharedString() const;
    /// The cell's formula; null unless the cell holds one.
    SpreadSheetFormula* AsFormula() const { return dataType_ == cdtFormula ? data_.formula : nullptr; }
    QString AsString() const;
    QVariant AsVariant() const;
    /// The stored value in transportable form (strings as their text, a formula as its text).
    SpreadSheetCellValue Value() const;
    /// A formula cell's current result as a cell value (errors as cdtError, empty as 0).
    SpreadSheetCellValue FormulaResult() const;

    void SetAsBoolean(bool value);
    void SetAsCurrency(std::int64_t value);
    void SetAsDateTime(double value);
    void SetAsError(SpreadSheetFormulaErrorCode value);
    void SetAsFloat(double value);
    void SetAsInteger(int value);
    void SetAsSharedString(SpreadSheetSharedString* value);
    /// Takes ownership of a formula made for this cell (null clears the cell).
    void SetAsFormula(std::unique_ptr<SpreadSheetFormula> formula);
    void SetAsString(const QString& value);
    void SetAsVariant(const QVariant& value);
    /// Stores a value as it is (no date-time serial adjustment, no automatic format).
    void SetValue(const SpreadSheetCellValue& value);
    /// Typing: error literals, text format, value recognition, then (with `formulaChecking`) formulas.
    /// Typing into a cell covered by an array formula raises ESpreadSheetCannotChangePartOfArrayError;
    /// a formula over the length or nesting limits raises ESpreadSheetFormulaIsTooLongError.
    void SetText(const QString& text, bool formulaChecking = false);
    void Clear();

    /// A1 or R1C1 text of this cell, following the workbook's option.
    QString Reference() const;

    SpreadSheetCellStyleHandle* StyleHandle() const;
    void SetStyleHandle(SpreadSheetCellStyleHandle* handle);
    /// An editable style whose edits land in this cell through SetStyleHandle (history, neighbour
    /// borders). The cell itself keeps only the bare handle, so the object is a short-lived editor:
    /// it starts from the handle of the moment and must not outlive the cell.
    std::unique_ptr<SpreadSheetCellStyle> Style();

private:
    friend class SpreadSheetTableView;
    friend class SpreadSheetTableRow;
    friend class SparseList<SpreadSheetCell>;
    friend class SpreadSheetCellPool;

    SpreadSheetCell(SpreadSheetTableRow* row, int column);
    ~SpreadSheetCell();

    /// Sets a new value: records history, releases the old one, raises the change bits. A formula
    /// value (from the history) is its text, parsed again.
    void Assign(const SpreadSheetCellValue& value);
    void AssignFormula(std::unique_ptr<SpreadSheetFormula> formula);
    /// True when the text was a formula and the cell now holds it.
    bool TrySetFormulaText(const QString& text);
    QString ValueAsString(const SpreadSheetCellValue& value) const;
    bool SameValue(const SpreadSheetCellValue& value) const;
    void ReleaseData();
    void Changed(bool wasBlank);
    void ApplyAutomaticFormat(SpreadSheetCellDataType type, double value);
    void ProcessStyleChanged(SpreadSheetCellStyleHandle* previous, SpreadSheetCellStyleHandle* next);

    SpreadSheetCell* prev_ = nullptr;
    SpreadSheetCell* next_ = nullptr;
    SpreadSheetTableRow* row_;
    SpreadSheetCellStyleHandle* style_ = nullptr;
    union Data {
        bool boolean;
        SpreadSheetFormulaErrorCode error;
        std::int64_t currency;
        double number;
        int integer;
        SpreadSheetSharedString* string;
        SpreadSheetFormula* formula;
    } data_ {};
    int index_;
    SpreadSheetCellDataType dataType_ = cdtBlank;
    DefaultBoolean showFormula_ = bDefault;
};

} // namespace quorvel
