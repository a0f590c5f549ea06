#pragma once

#include "model/SparseList.h"
#include "model/SpreadSheetCoreStyles.h"
#include "model/SpreadSheetTypes.h"

#include <QString>

#include <functional>
#include <memory>

namespace quorvel {

class SpreadSheetCell;
class SpreadSheetTableView;
class SpreadSheetTableItems;
class SpreadSheetTableItemGroups;
class SpreadSheetCellStyleHandle;

/// A row or a column that has its own settings (size, visibility, style) or, for a row, cells.
class SpreadSheetTableItem {
public:
    SpreadSheetTableItem(const SpreadSheetTableItem&) = delete;
    SpreadSheetTableItem& operator=(const SpreadSheetTableItem&) = delete;
    virtual ~SpreadSheetTableItem() = default;

    int Index() const { return index_; }
    SpreadSheetTableItems& Owner() const { return *owner_; }
    SpreadSheetTableView& View() const;

    /// 0 when hidden, the owner's default when DefaultSize, else the stored size.
    int Size() const;
    void SetSize(int value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    bool DefaultSize() const { return defaultSize_; }
    void SetDefaultSize(bool value);
    bool IsCustomSize() const { return isCustomSize_; }
    int StoredSize() const { return size_; }

    SpreadSheetCellStyleHandle* StyleHandle() const { return style_.Get(); }
    void SetStyleHandle(SpreadSheetCellStyleHandle* handle);

    /// Restores every size field at once (history and file readers).
    void SetSizeState(int size, bool defaultSize, bool customSize, bool visible);

protected:
    SpreadSheetTableItem(SpreadSheetTableItems* owner, int index);

private:
    void ApplyStyleToCrossingCells(SpreadSheetCellStyleHandle* previous, SpreadSheetCellStyleHandle* next);

    friend class SparseList<SpreadSheetTableItem>;
    friend class SpreadSheetTableItems;

    SpreadSheetTableItem* prev_ = nullptr;
    SpreadSheetTableItem* next_ = nullptr;
    SpreadSheetTableItems* owner_;
    SpreadSheetHandleRef<SpreadSheetCellStyleHandle> style_; // empty = the default style
    int index_;
    int size_ = 0;
    bool defaultSize_ = true;
    bool isCustomSize_ = false;
    bool visible_ = true;
};

class SpreadSheetTableColumn : public SpreadSheetTableItem {
public:
    SpreadSheetTableColumn(SpreadSheetTableItems* owner, int index)
        : SpreadSheetTableItem(owner, index)
    {
    }
};

class SpreadSheetTableRow : public SpreadSheetTableItem {
public:
    SpreadSheetTableRow(SpreadSheetTableItems* owner, int index);
    ~SpreadSheetTableRow() override;

    SpreadSheetTableRow* NextRow() const;
    SpreadSheetTableRow* PrevRow() const;

    SpreadSheetCell* CreateCell(int column);
    SpreadSheetCell* Cells(int column) const;
    /// Last cell's column index + 1.
    int CellCount() const;
    SpreadSheetCell* FirstCell() const;
    SpreadSheetCell* LastCell() const;
    static SpreadSheetCell* NextCell(const SpreadSheetCell* cell);
    static SpreadSheetCell* PrevCell(const SpreadSheetCell* cell);
    /// The first cell at or after `column`, or nullptr.
    SpreadSheetCell* FindCellAtOrAfter(int column) const;
    /// Visits the cells in index order; stops when `proc` returns false.
    void EnumCells(const std::function<bool(SpreadSheetCell*)>& proc) const;
    /// Frees the cell (it must belong to this row).
    void DeleteCell(SpreadSheetCell* cell);

    bool BestFitIsDirty() const { return bestFitIsDirty_; }
    void SetBestFitIsDirty(bool value) { bestFitIsDirty_ = value; }

private:
    friend class SpreadSheetCell;
    std::unique_ptr<SparseList<SpreadSheetCell>> cells_;
    bool bestFitIsDirty_ = false;
};

enum class SpreadSheetTableItemsKind : std::uint8_t { Rows, Columns };

/// The sparse list of rows or columns of a sheet, with sizes, positions and outline groups.
class SpreadSheetTableItems {
public:
    SpreadSheetTableItems(SpreadSheetTableView* view, SpreadSheetTableItemsKind kind);
    virtual ~SpreadSheetTableItems();
    SpreadSheetTableItems(const SpreadSheetTableItems&) = delete;
    SpreadSheetTableItems& operator=(const SpreadSheetTableItems&) = delete;

    SpreadSheetTableView& View() const { return *view_; }
    SpreadSheetTableItemsKind Kind() const { return kind_; }
    int MaxIndex() const { return kind_ == SpreadSheetTableItemsKind::Rows ? kMaxRowIndex : kMaxColumnIndex; }

    SpreadSheetTableItem* Items(int index) const;
    SpreadSheetTableItem* CreateItem(int index);
    SpreadSheetTableItem* First() const { return list_.First(); }
    SpreadSheetTableItem* Last() const { return list_.Last(); }
    static SpreadSheetTableItem* Next(const SpreadSheetTableItem* item) { return item->next_; }
    static SpreadSheetTableItem* Prev(const SpreadSheetTableItem* item) { return item->prev_; }
    /// The first item at or after `index`, or nullptr.
    SpreadSheetTableItem* FindAtOrAfter(int index) const;
    int Count() const { return list_.Count(); }
    void DeleteItem(SpreadSheetTableItem* item);
    void Clear();

    /// Default size in pixels at 96 DPI (85 for columns, 20 for rows).
    int DefaultSize() const { return defaultSize_; }
    void SetDefaultSize(int value);
    /// Size of the item at `index` (default for an absent item, 0 when hidden).
    int GetItemSize(int index) const;
    bool IsItemVisible(int index) const;
    /// Sum of the sizes of first..last (clamped to the axis).
    long long GetDistance(int first, int last) const;
    /// Pixel position of the item's leading edge.
    long long GetPosition(int index) const;
    /// Steps by one in the direction until an item with a size is found; the start index if none.
    int GetNextVisibleItemIndex(int index, bool forward) const;
    /// The index whose span contains the pixel `position` (clamped to the axis).
    int GetIndexAtPosition(long long position) const;

    SpreadSheetTableItemGroups& Groups() const { return *groups_; }

    /// Size, visibility or default size changed: positions are recomputed.
    void ResetPositionCache() const;
    void ItemSizeChanged();

protected:
    virtual SpreadSheetTableItem* CreateItemObject(int index) = 0;

private:
    friend class SpreadSheetTableItem;

    SpreadSheetTableView* view_;
    SpreadSheetTableItemsKind kind_;
    mutable SparseList<SpreadSheetTableItem> list_;
    int defaultSize_;
    std::unique_ptr<SpreadSheetTableItemGroups> groups_;
    mutable int prevIndex_ = 0;
    mutable long long prevPosition_ = 0;
};

class SpreadSheetTableRows : public SpreadSheetTableItems {
public:
    explicit SpreadSheetTableRows(SpreadSheetTableView* view)
        : SpreadSheetTableItems(view, SpreadSheetTableItemsKind::Rows)
    {
    }
    SpreadSheetTableRow* Items(int index) const { return static_cast<SpreadSheetTableRow*>(SpreadSheetTableItems::Items(index)); }
    SpreadSheetTableRow* CreateItem(int index) { return static_cast<SpreadSheetTableRow*>(SpreadSheetTableItems::CreateItem(index)); }
    SpreadSheetTableRow* First() const { return static_cast<SpreadSheetTableRow*>(SpreadSheetTableItems::First()); }
    SpreadSheetTableRow* Last() const { return static_cast<SpreadSheetTableRow*>(SpreadSheetTableItems::Last()); }
    SpreadSheetTableRow* FindAtOrAfter(int index) const
    {
        return static_cast<SpreadSheetTableRow*>(SpreadSheetTableItems::FindAtOrAfter(index));
    }

protected:
    SpreadSheetTableItem* CreateItemObject(int index) override;
};

class SpreadSheetTableColumns : public SpreadSheetTableItems {
public:
    explicit SpreadSheetTableColumns(SpreadSheetTableView* view)
        : SpreadSheetTableItems(view, SpreadSheetTableItemsKind::Columns)
    {
    }
    SpreadSheetTableColumn* Items(int index) const
    {
        return static_cast<SpreadSheetTableColumn*>(SpreadSheetTableItems::Items(index));
    }
    SpreadSheetTableColumn* CreateItem(int index)
    {
        return static_cast<SpreadSheetTableColumn*>(SpreadSheetTableItems::CreateItem(index));
    }
    /// Column by its letters ("A" .. "XFD"); a bad name raises sErrorInvalidColumnIndex.
    SpreadSheetTableColumn* CreateItem(const QString& name);

protected:
    SpreadSheetTableItem* CreateItemObject(int index) override;
};

} // namespace quorvel
