#include "model/SpreadSheetTableItems.h"

#include "formulas/SpreadSheetReferences.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetCellPool.h"
#include "model/SpreadSheetCoreStyles.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetStrings.h"
#include "model/SpreadSheetStyles.h"
#include "model/SpreadSheetTableItemGroups.h"
#include "model/SpreadSheetTableView.h"

#include <algorithm>
#include <vector>

namespace quorvel {

// Item

SpreadSheetTableItem::SpreadSheetTableItem(SpreadSheetTableItems* owner, int index)
    : owner_(owner)
    , index_(index)
{
}

SpreadSheetTableView& SpreadSheetTableItem::View() const { return owner_->View(); }

int SpreadSheetTableItem::Size() const
{
    if (!visible_)
        return 0;
    return defaultSize_ ? owner_->DefaultSize() : size_;
}

void SpreadSheetTableItem::SetSize(int value)
{
    value = std::max(value, 0);
    if (value == size_ && !defaultSize_ && isCustomSize_ && visible_)
        return;
    // A size of 0 hides the item; showing it again brings the default size back.
    if (value == 0)
        SetSizeState(0, defaultSize_, isCustomSize_, false);
    else
        SetSizeState(value, false, true, true);
}

void SpreadSheetTableItem::SetVisible(bool value)
{
    if (visible_ == value)
        return;
    SetSizeState(size_, defaultSize_ || (value && size_ == 0), isCustomSize_, value);
}

void SpreadSheetTableItem::SetDefaultSize(bool value)
{
    if (defaultSize_ == value)
        return;
    SetSizeState(size_, value, value ? false : isCustomSize_, visible_);
}

void SpreadSheetTableItem::SetSizeState(int size, bool defaultSize, bool customSize, bool visible)
{
    if (size == size_ && defaultSize == defaultSize_ && customSize == isCustomSize_ && visible == visible_)
        return;
    SpreadSheetHistory& history = View().SpreadSheetOwner().History();
    if (history.CanAddCommand())
        history.AddCommand(std::make_unique<SpreadSheetHistoryChangeItemCommand>(this));
    size_ = size;
    defaultSize_ = defaultSize;
    isCustomSize_ = customSize;
    visible_ = visible;
    owner_->ItemSizeChanged();
}

void SpreadSheetTableItem::SetStyleHandle(SpreadSheetCellStyleHandle* handle)
{
    SpreadSheetTableView& view = View();
    SpreadSheet& book = view.SpreadSheetOwner();
    SpreadSheetCellStyles& styles = book.CellStyles();
    if (handle == styles.DefaultStyle())
        handle = nullptr;
    if (style_.Get() == handle)
        return;
    // The item and the cells it reaches change in one step.
    SpreadSheetHistory& history = book.History();
    history.BeginAction(SpreadSheetHistoryActionKind::FormatCells);
    if (history.CanAddCommand())
        history.AddCommand(std::make_unique<SpreadSheetHistoryChangeItemCommand>(this));
    const SpreadSheetHandleRef<SpreadSheetCellStyleHandle> previous(style_ ? style_.Get() : styles.DefaultStyle());
    style_.Reset(handle);
    view.BeginUpdate();
    if (!book.IsLoading() && !history.InProcess())
        ApplyStyleToCrossingCells(previous.Get(), handle ? handle : styles.DefaultStyle());
    view.AddChanges(sscStyle | sscLayout | sscModified);
    view.EndUpdate();
    history.EndAction();
}

// Formatting a whole row or column reaches the cells in it: each crossing with an item of the
// other axis gets the attributes that changed, and keeps the ones it set itself. A crossing item
// with a style of its own gets a cell there, so that both looks meet.
void SpreadSheetTableItem::ApplyStyleToCrossingCells(
    SpreadSheetCellStyleHandle* previous, SpreadSheetCellStyleHandle* next)
{
    SpreadSheetTableView& view = View();
    SpreadSheetCellStyles& styles = view.SpreadSheetOwner().CellStyles();
    const bool isRow = owner_->Kind() == SpreadSheetTableItemsKind::Rows;
    SpreadSheetTableItems& other
        = isRow ? static_cast<SpreadSheetTableItems&>(view.Columns()) : static_cast<SpreadSheetTableItems&>(view.Rows());
    std::vector<SpreadSheetCell*> cells;
    for (SpreadSheetTableItem* item = other.First(); item; item = SpreadSheetTableItems::Next(item)) {
        const int row = isRow ? index_ : item->Index();
        const int column = isRow ? item->Index() : index_;
        SpreadSheetCell* cell = view.GetCell(row, column);
        if (cell == nullptr && item->StyleHandle() != nullptr) {
            cell = view.CreateCell(row, column);
            if (previous == styles.DefaultStyle())
                cell->SetStyleHandle(item->StyleHandle());
        }
        if (cell)
            cells.push_back(cell);
    }
    for (SpreadSheetCell* cell : cells)
        cell->SetStyleHandle(ApplyStyleDifferences(styles, cell->StyleHandle(), previous, next));
}

// Row

SpreadSheetTableRow::SpreadSheetTableRow(SpreadSheetTableItems* owner, int index)
    : SpreadSheetTableItem(owner, index)
    , cells_(std::make_unique<SparseList<SpreadSheetCell>>())
{
}

SpreadSheetTableRow::~SpreadSheetTableRow()
{
    SpreadSheetCellPool& pool = View().CellPool();
    for (SpreadSheetCell* cell = cells_->First(); cell;) {
        SpreadSheetCell* next = cell->next_;
        cell->~SpreadSheetCell();
        pool.Free(cell);
        cell = next;
    }
}

SpreadSheetTableRow* SpreadSheetTableRow::NextRow() const
{
    return static_cast<SpreadSheetTableRow*>(SpreadSheetTableItems::Next(this));
}

SpreadSheetTableRow* SpreadSheetTableRow::PrevRow() const
{
    return static_cast<SpreadSheetTableRow*>(SpreadSheetTableItems::Prev(this));
}

SpreadSheetCell* SpreadSheetTableRow::Cells(int column) const { return cells_->Find(column); }

SpreadSheetCell* SpreadSheetTableRow::FindCellAtOrAfter(int column) const { return cells_->Find(column, false); }

SpreadSheetCell* SpreadSheetTableRow::FirstCell() const { return cells_->First(); }

SpreadSheetCell* SpreadSheetTableRow::LastCell() const { return cells_->Last(); }

SpreadSheetCell* SpreadSheetTableRow::NextCell(const SpreadSheetCell* cell) { return cell->next_; }

SpreadSheetCell* SpreadSheetTableRow::PrevCell(const SpreadSheetCell* cell) { return cell->prev_; }

int SpreadSheetTableRow::CellCount() const { return cells_->Count(); }

void SpreadSheetTableRow::EnumCells(const std::function<bool(SpreadSheetCell*)>& proc) const
{
    for (SpreadSheetCell* cell = cells_->First(); cell;) {
        SpreadSheetCell* next = cell->next_;
        if (!proc(cell))
            return;
        cell = next;
    }
}

SpreadSheetCell* SpreadSheetTableRow::CreateCell(int column)
{
    column = std::clamp(column, 0, kMaxColumnIndex);
    if (SpreadSheetCell* cell = cells_->Find(column))
        return cell;
    SpreadSheetTableView& view = View();
    SpreadSheet& book = view.SpreadSheetOwner();
    SpreadSheetHistory& history = book.History();
    const bool hadColumn = view.Columns().Items(column) != nullptr;
    SpreadSheetTableColumn* columnItem = view.Columns().CreateItem(column);
    void* memory = view.CellPool().Allocate();
    auto* cell = new (memory) SpreadSheetCell(this, column);
    cells_->Insert(cell);
    // A new cell takes the look of its row or column unless it comes from a file, whose cells carry
    // their own styles.
    if (!book.IsLoading())
        cell->SetStyleHandle(MergeStyleHandles(book.CellStyles(), columnItem->StyleHandle(), StyleHandle()));
    if (history.CanAddCommand())
        history.AddCommand(std::make_unique<SpreadSheetHistoryCreateCellCommand>(cell, hadColumn));
    view.AddChanges(sscDimension);
    return cell;
}

void SpreadSheetTableRow::DeleteCell(SpreadSheetCell* cell)
{
    cells_->Remove(cell);
    SpreadSheetTableView& view = View();
    cell->~SpreadSheetCell();
    view.CellPool().Free(cell);
    view.AddChanges(sscData | sscDimension | sscModified);
}

// Items

SpreadSheetTableItems::SpreadSheetTableItems(SpreadSheetTableView* view, SpreadSheetTableItemsKind kind)
    : view_(view)
    , kind_(kind)
    , defaultSize_(kind == SpreadSheetTableItemsKind::Rows ? 20 : 85)
    , groups_(std::make_unique<SpreadSheetTableItemGroups>(this))
{
}

SpreadSheetTableItems::~SpreadSheetTableItems() { Clear(); }

SpreadSheetTableItem* SpreadSheetTableItems::Items(int index) const { return list_.Find(index); }

SpreadSheetTableItem* SpreadSheetTableItems::FindAtOrAfter(int index) const { return list_.Find(index, false); }

SpreadSheetTableItem* SpreadSheetTableItems::CreateItem(int index)
{
    index = std::clamp(index, 0, MaxIndex());
    if (SpreadSheetTableItem* item = list_.Find(index))
        return item;
    SpreadSheetTableItem* item = CreateItemObject(index);
    list_.Insert(item);
    if (kind_ == SpreadSheetTableItemsKind::Rows)
        view_->AddChanges(sscDimension);
    return item;
}

void SpreadSheetTableItems::DeleteItem(SpreadSheetTableItem* item)
{
    list_.Remove(item);
    delete item;
    ResetPositionCache();
    view_->AddChanges(sscData | sscDimension | sscLayout | sscModified);
}

void SpreadSheetTableItems::Clear()
{
    for (SpreadSheetTableItem* item = list_.First(); item;) {
        SpreadSheetTableItem* next = item->next_;
        delete item;
        item = next;
    }
    list_.Reset();
    ResetPositionCache();
}

void SpreadSheetTableItems::SetDefaultSize(int value)
{
    value = std::max(value, 0);
    if (value == defaultSize_)
        return;
    SpreadSheetHistory& history = view_->SpreadSheetOwner().History();
    if (history.CanAddCommand())
        history.AddCommand(std::make_unique<SpreadSheetHistoryChangeDefaultSizeCommand>(this));
    defaultSize_ = value;
    ItemSizeChanged();
}

void SpreadSheetTableItems::ItemSizeChanged()
{
    ResetPositionCache();
    view_->AddChanges(sscData | sscLayout | sscModified);
}

int SpreadSheetTableItems::GetItemSize(int index) const
{
    const SpreadSheetTableItem* item = list_.Find(index);
    return item ? item->Size() : defaultSize_;
}

bool SpreadSheetTableItems::IsItemVisible(int index) const
{
    const SpreadSheetTableItem* item = list_.Find(index);
    return item == nullptr || item->Visible();
}

long long SpreadSheetTableItems::GetDistance(int first, int last) const
{
    first = std::clamp(first, 0, MaxIndex());
    last = std::clamp(last, 0, MaxIndex());
    if (first > last)
        return 0;
    // Absent items have the default size; walk only the stored ones.
    long long distance = static_cast<long long>(last - first + 1) * defaultSize_;
    for (const SpreadSheetTableItem* item = list_.Find(first, false); item && item->index_ <= last; item = item->next_)
        distance += item->Size() - defaultSize_;
    return distance;
}

long long SpreadSheetTableItems::GetPosition(int index) const
{
    index = std::clamp(index, 0, MaxIndex() + 1);
    if (index < prevIndex_) {
        prevIndex_ = 0;
        prevPosition_ = 0;
    }
    if (index > prevIndex_) {
        prevPosition_ += GetDistance(prevIndex_, index - 1);
        prevIndex_ = index;
    }
    long long position = prevPosition_;
    const int frozen = kind_ == SpreadSheetTableItemsKind::Rows ? view_->FrozenRow() : view_->FrozenColumn();
    if (frozen >= 0 && frozen < index)
        position += view_->SpreadSheetOwner().OptionsView().FrozenPaneSeparatorWidth - 1;
    return position;
}

int SpreadSheetTableItems::GetIndexAtPosition(long long position) const
{
    if (position <= 0)
        return 0;
    // Binary search over the monotone position function.
    int low = 0;
    int high = MaxIndex();
    while (low < high) {
        const int mid = low + (high - low + 1) / 2;
        if (GetDistance(0, mid - 1) <= position)
            low = mid;
        else
            high = mid - 1;
    }
    return low;
}

int SpreadSheetTableItems::GetNextVisibleItemIndex(int index, bool forward) const
{
    const int step = forward ? 1 : -1;
    for (int i = index + step; i >= 0 && i <= MaxIndex(); i += step)
        if (GetItemSize(i) >= 1)
            return i;
    return index;
}

void SpreadSheetTableItems::ResetPositionCache() const
{
    prevIndex_ = 0;
    prevPosition_ = 0;
}

SpreadSheetTableItem* SpreadSheetTableRows::CreateItemObject(int index) { return new SpreadSheetTableRow(this, index); }

SpreadSheetTableItem* SpreadSheetTableColumns::CreateItemObject(int index)
{
    return new SpreadSheetTableColumn(this, index);
}

SpreadSheetTableColumn* SpreadSheetTableColumns::CreateItem(const QString& name)
{
    int index = -1;
    if (!SpreadSheetColumnReferences::TryIndexByName(name, index))
        throw ESpreadSheetError(sErrorInvalidColumnIndex.Format({ name }));
    return CreateItem(index);
}

} // namespace quorvel
