#pragma once

#include "formulas/SpreadSheetReferences.h"
#include "model/SpreadSheetTypes.h"

#include <QString>

#include <functional>
#include <memory>

namespace quorvel {

class SpreadSheet;
class SpreadSheetCell;
class SpreadSheetCellPool;
class SpreadSheetTableRows;
class SpreadSheetTableColumns;
struct SpreadSheetCellValue;

/// Per-sheet view options; the three-state ones defer to the workbook when bDefault.
struct SpreadSheetTableViewOptions {
    DefaultBoolean GridLines = bDefault;
    DefaultBoolean Headers = bDefault;
    DefaultBoolean HorizontalScrollBar = bDefault;
    DefaultBoolean VerticalScrollBar = bDefault;
    DefaultBoolean RightToLeftLayout = bDefault;
    DefaultBoolean ShowFormulas = bDefault;
    DefaultBoolean ZeroValues = bDefault;
};

/// A worksheet: sparse rows, columns and cells, its caption, visibility and options.
class SpreadSheetTableView final : public ISpreadSheetViewCaption {
public:
    SpreadSheetTableView(SpreadSheet* owner, const QString& caption);
    virtual ~SpreadSheetTableView();
    SpreadSheetTableView(const SpreadSheetTableView&) = delete;
    SpreadSheetTableView& operator=(const SpreadSheetTableView&) = delete;

    SpreadSheet& SpreadSheetOwner() const { return *owner_; }
    const QString& Caption() const { return caption_; }
    /// Renames the sheet; a name another sheet has (ignoring case) is refused and false returned.
    bool SetCaption(const QString& caption);
    bool IsCaptionTextDelimited() const { return isCaptionTextDelimited_; }
    QString GetCaption() const override { return caption_; }
    bool GetIsCaptionTextDelimited() const override { return isCaptionTextDelimited_; }
    const QString& GUID() const { return guid_; }
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    int Index() const;
    /// Moves the sheet in the tab order; the active sheet stays active.
    void SetIndex(int index);

    SpreadSheetTableRows& Rows() const { return *rows_; }
    SpreadSheetTableColumns& Columns() const { return *columns_; }
    SpreadSheetTableViewOptions& Options() { return options_; }
    const SpreadSheetTableViewOptions& Options() const { return options_; }
    int ZoomFactor() const { return zoomFactor_; }
    void SetZoomFactor(int value);

    SpreadSheetCell* CreateCell(int row, int column);
    /// By A1 (or R1C1, following the workbook) text; a bad reference raises sErrorInvalidCellReference.
    SpreadSheetCell* CreateCell(const QString& reference);
    SpreadSheetCell* GetCell(int row, int column) const;
    /// An index outside the grid yields ecRefErr and an empty value.
    SpreadSheetFormulaErrorCode GetCellValue(int row, int column, SpreadSheetCellValue& value) const;
    /// Visits existing cells of the area row by row, forward or backward.
    void ForEachCell(const SpreadSheetArea& area, const std::function<void(SpreadSheetCell*)>& proc,
        bool forward = true) const;
    void ForEachCell(const std::function<void(SpreadSheetCell*)>& proc, bool forward = true) const;
    /// Enters `text` over `area` as an array: a formula becomes one array formula covering the
    /// area, any other text is typed into every cell. Refused with
    /// ESpreadSheetCannotChangePartOfArrayError when the area cuts through an array formula.
    void SetArrayFormula(const SpreadSheetArea& area, const QString& text);
    /// Frees a cell (records nothing by itself).
    void DeleteCell(SpreadSheetCell* cell);
    /// Removes every row, column and cell.
    void ClearCells();

    SpreadSheetArea GetDimensions() const;
    int FrozenColumn() const { return frozenColumn_; }
    int FrozenRow() const { return frozenRow_; }
    void FreezePanes(int column, int row);
    void FreezeColumns(int column) { FreezePanes(column, frozenRow_); }
    void FreezeRows(int row) { FreezePanes(frozenColumn_, row); }
    void UnfreezePanes() { FreezePanes(-1, -1); }

    void BeginUpdate();
    void EndUpdate();
    bool IsLocked() const { return lockCount_ > 0; }
    void AddChanges(SpreadSheetChanges changes);
    SpreadSheetChanges Changes() const { return changes_; }
    /// Hands the given bits over to the caller and clears them here.
    SpreadSheetChanges TakeChanges(SpreadSheetChanges mask);

    SpreadSheetCellPool& CellPool() { return *cellPool_; }
    /// Expires when the sheet is destroyed; links of formulas hold it to notice a deleted sheet.
    std::weak_ptr<const void> Lifetime() const { return lifetime_; }
    /// Merged areas widen the dimensions; the list arrives with merged cells.
    void UpdateCaptionDelimited();

private:
    friend class SpreadSheet;
    void ProcessChanges();

    SpreadSheet* owner_;
    std::shared_ptr<const void> lifetime_ = std::make_shared<int>(0);
    QString caption_;
    QString guid_;
    std::unique_ptr<SpreadSheetCellPool> cellPool_;
    std::unique_ptr<SpreadSheetTableRows> rows_;
    std::unique_ptr<SpreadSheetTableColumns> columns_;
    SpreadSheetTableViewOptions options_;
    mutable SpreadSheetArea dimensions_;
    SpreadSheetChanges changes_ = 0;
    int lockCount_ = 0;
    int zoomFactor_ = 100;
    int frozenColumn_ = -1;
    int frozenRow_ = -1;
    bool visible_ = true;
    bool isCaptionTextDelimited_ = false;
    mutable bool dimensionsDirty_ = true;
};

} // namespace quorvel
