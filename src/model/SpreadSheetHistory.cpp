#include "model/SpreadSheetHistory.h"

#include "formulas/SpreadSheetFormulaController.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCoreStyles.h"
#include "model/SpreadSheetTableItemGroups.h"
#include "model/SpreadSheetTableItems.h"
#include "model/SpreadSheetTableView.h"

#include <algorithm>
#include <utility>

namespace quorvel {

// Commands

SpreadSheetHistoryCellCommand::SpreadSheetHistoryCellCommand(const SpreadSheetCell* cell)
    : view_(cell->View())
    , row_(cell->RowIndex())
    , column_(cell->ColumnIndex())
{
}

bool SpreadSheetHistoryCellCommand::CompatibleWith(const SpreadSheetHistoryCustomCommand& other) const
{
    const auto* cell = dynamic_cast<const SpreadSheetHistoryCellCommand*>(&other);
    return cell && cell->view_ == view_ && cell->row_ == row_ && cell->column_ == column_;
}

SpreadSheetCell* SpreadSheetHistoryCellCommand::Cell() const { return view_->GetCell(row_, column_); }

SpreadSheetCell* SpreadSheetHistoryCellCommand::CreateCell() const { return view_->CreateCell(row_, column_); }

SpreadSheetHistoryCreateCellCommand::SpreadSheetHistoryCreateCellCommand(const SpreadSheetCell* cell, bool columnExisted)
    : SpreadSheetHistoryCellCommand(cell)
    , columnExisted_(columnExisted)
{
    // The row item exists already when it holds another cell or has settings of its own.
    const SpreadSheetTableRow* row = cell->Row();
    rowExisted_ = row->FirstCell() != cell || row->LastCell() != cell || !row->DefaultSize() || !row->Visible()
        || (row->StyleHandle() != nullptr && row->StyleHandle() != view_->SpreadSheetOwner().CellStyles().DefaultStyle());
}

void SpreadSheetHistoryCreateCellCommand::Undo()
{
    if (SpreadSheetCell* cell = Cell())
        view_->DeleteCell(cell);
    if (!rowExisted_)
        if (SpreadSheetTableItem* row = view_->Rows().Items(row_))
            view_->Rows().DeleteItem(row);
    if (!columnExisted_)
        if (SpreadSheetTableItem* column = view_->Columns().Items(column_))
            view_->Columns().DeleteItem(column);
}

void SpreadSheetHistoryCreateCellCommand::Redo() { CreateCell(); }

SpreadSheetHistoryChangeCellCommand::SpreadSheetHistoryChangeCellCommand(const SpreadSheetCell* cell)
    : SpreadSheetHistoryCellCommand(cell)
    , value_(cell->Value())
{
}

void SpreadSheetHistoryChangeCellCommand::Undo()
{
    SpreadSheetCell* cell = CreateCell();
    SpreadSheetCellValue current = cell->Value();
    cell->SetValue(value_);
    value_ = std::move(current);
}

SpreadSheetHistoryFormulaChangedCommand::SpreadSheetHistoryFormulaChangedCommand(
    const SpreadSheetCell* cell, QString text)
    : SpreadSheetHistoryCellCommand(cell)
    , text_(std::move(text))
{
}

void SpreadSheetHistoryFormulaChangedCommand::Undo()
{
    SpreadSheetCell* cell = CreateCell();
    SpreadSheetCellValue formula;
    formula.type = cdtFormula;
    formula.text = std::exchange(text_, cell->Value().text);
    cell->SetValue(formula);
}

SpreadSheetHistoryChangeCellStyleCommand::SpreadSheetHistoryChangeCellStyleCommand(const SpreadSheetCell* cell)
    : SpreadSheetHistoryCellCommand(cell)
    , style_(cell->StyleHandle())
{
}

void SpreadSheetHistoryChangeCellStyleCommand::Undo()
{
    SpreadSheetCell* cell = CreateCell();
    SpreadSheetHandleRef<SpreadSheetCellStyleHandle> current(cell->StyleHandle());
    cell->SetStyleHandle(style_.Get());
    style_ = std::move(current);
}

SpreadSheetHistoryChangeItemCommand::SpreadSheetHistoryChangeItemCommand(const SpreadSheetTableItem* item)
    : items_(&item->Owner())
    , index_(item->Index())
    , size_(item->StoredSize())
    , defaultSize_(item->DefaultSize())
    , customSize_(item->IsCustomSize())
    , visible_(item->Visible())
    , style_(item->StyleHandle())
{
}

void SpreadSheetHistoryChangeItemCommand::Undo()
{
    SpreadSheetTableItem* item = items_->CreateItem(index_);
    SpreadSheetHistoryChangeItemCommand current(item);
    item->SetSizeState(size_, defaultSize_, customSize_, visible_);
    item->SetStyleHandle(style_.Get());
    std::swap(size_, current.size_);
    std::swap(defaultSize_, current.defaultSize_);
    std::swap(customSize_, current.customSize_);
    std::swap(visible_, current.visible_);
    std::swap(style_, current.style_);
}

SpreadSheetHistoryChangeDefaultSizeCommand::SpreadSheetHistoryChangeDefaultSizeCommand(SpreadSheetTableItems* items)
    : items_(items)
    , size_(items->DefaultSize())
{
}

void SpreadSheetHistoryChangeDefaultSizeCommand::Undo()
{
    const int current = items_->DefaultSize();
    items_->SetDefaultSize(size_);
    size_ = current;
}

SpreadSheetHistoryChangeGroupRangeCommand::SpreadSheetHistoryChangeGroupRangeCommand(SpreadSheetTableItemGroup* group)
    : group_(group)
    , startIndex_(group->startIndex_)
    , finishIndex_(group->finishIndex_)
    , collapsedByUser_(group->collapsedByUser_)
{
}

void SpreadSheetHistoryChangeGroupRangeCommand::Undo()
{
    std::swap(group_->startIndex_, startIndex_);
    std::swap(group_->finishIndex_, finishIndex_);
    std::swap(group_->collapsedByUser_, collapsedByUser_);
    if (group_->parent_)
        SpreadSheetTableItemGroups::SortChildren(group_->parent_);
}

SpreadSheetHistoryChangeGroupParentCommand::SpreadSheetHistoryChangeGroupParentCommand(SpreadSheetTableItemGroup* group,
    SpreadSheetTableItemGroup* previousParent, std::unique_ptr<SpreadSheetTableItemGroup> detached)
    : group_(group)
    , parent_(previousParent)
    , detached_(std::move(detached))
{
}

SpreadSheetHistoryChangeGroupParentCommand::~SpreadSheetHistoryChangeGroupParentCommand() = default;

void SpreadSheetHistoryChangeGroupParentCommand::Undo()
{
    SpreadSheetTableItemGroups& groups = *group_->owner_;
    SpreadSheetTableItemGroup* current = group_->parent_;
    std::unique_ptr<SpreadSheetTableItemGroup> group = current ? groups.Detach(group_) : std::move(detached_);
    if (parent_)
        groups.Attach(std::move(group), parent_);
    else
        detached_ = std::move(group);
    parent_ = current;
}

// Action

SpreadSheetHistoryAction::SpreadSheetHistoryAction(SpreadSheetHistory* history, SpreadSheetHistoryActionKind kind)
    : history_(history)
    , kind_(kind)
    , view_(nullptr)
    , modified_(false)
{
}

QString SpreadSheetHistoryAction::Description() const
{
    switch (kind_) {
    case SpreadSheetHistoryActionKind::EditCell:
        return sActionCellEditing.Text();
    case SpreadSheetHistoryActionKind::ClearCells:
        return sActionClearCells.Text();
    case SpreadSheetHistoryActionKind::FormatCells:
        return sActionFormatCells.Text();
    case SpreadSheetHistoryActionKind::ExpandGroup:
        return sActionExpandCollapseGroup.Text();
    case SpreadSheetHistoryActionKind::AddGroup:
        return sActionAddGroup.Text();
    case SpreadSheetHistoryActionKind::ChangeGroup:
        return sActionChangeGroup.Text();
    case SpreadSheetHistoryActionKind::DeleteGroup:
        return sActionDeleteGroup.Text();
    case SpreadSheetHistoryActionKind::ChangeRowColumnItem:
        return sActionChangeRowColumn.Text();
    case SpreadSheetHistoryActionKind::PasteCells:
        return sActionPasteCells.Text();
    }
    return QString();
}

// History

SpreadSheetHistory::SpreadSheetHistory(SpreadSheet* owner)
    : owner_(owner)
{
}

SpreadSheetHistory::~SpreadSheetHistory() = default;

bool SpreadSheetHistory::CanAddCommand() const
{
    // What an array formula writes into the cells it covers is its result, not an edit.
    return lockCount_ == 0 && inProcessRefCount_ == 0 && owner_->HistoryEnabled() && !owner_->IsLoading()
        && !owner_->IsDestroying() && !owner_->FormulaController().UpdatingSlaveCells();
}

SpreadSheetHistoryAction* SpreadSheetHistory::NewAction(SpreadSheetHistoryActionKind kind)
{
    auto action = std::make_unique<SpreadSheetHistoryAction>(this, kind);
    action->view_ = owner_->ActiveSheet();
    action->modified_ = owner_->Modified();
    pendingAction_ = std::move(action);
    return pendingAction_.get();
}

void SpreadSheetHistory::BeginAction(SpreadSheetHistoryActionKind kind)
{
    if (++actionLockCount_ > 1 || InProcess())
        return;
    if (lockCount_ > 0 || !owner_->HistoryEnabled()) {
        currentAction_ = nullptr;
        return;
    }
    currentAction_ = NewAction(kind);
    redoActions_.clear();
}

void SpreadSheetHistory::EndAction(bool canceled)
{
    if (actionLockCount_ == 0 || --actionLockCount_ > 0)
        return;
    currentAction_ = nullptr;
    std::unique_ptr<SpreadSheetHistoryAction> action = std::move(pendingAction_);
    if (!action || canceled || action->commands_.empty())
        return;
    undoActions_.push_back(std::move(action));
    Trim();
    Changed();
}

void SpreadSheetHistory::AddCommand(std::unique_ptr<SpreadSheetHistoryCustomCommand> command)
{
    if (!CanAddCommand())
        return;
    if (currentAction_ == nullptr || actionLockCount_ == 0) {
        SpreadSheetHistoryAction* last = undoActions_.empty() ? nullptr : undoActions_.back().get();
        if (last && !last->commands_.empty() && last->commands_.front()->CompatibleWith(*command)) {
            currentAction_ = last;
        } else {
            NewAction(command->ActionKind());
            undoActions_.push_back(std::move(pendingAction_));
            currentAction_ = undoActions_.back().get();
            Trim();
            Changed();
        }
        redoActions_.clear();
    }
    command->Initialize();
    currentAction_->commands_.push_back(std::move(command));
    // Outside a bracket the joined step stays open only for this command.
    if (actionLockCount_ == 0)
        currentAction_ = nullptr;
}

void SpreadSheetHistory::Undo(int count)
{
    if (count <= 0 || undoActions_.empty())
        return;
    if (EditorUndoHook && EditorUndoHook())
        return;
    Lock();
    currentAction_ = nullptr;
    bool modified = owner_->Modified();
    ++inProcessRefCount_;
    owner_->BeginUpdate();
    owner_->AddChanges(sscData | sscLayout);
    for (int i = 0; i < count && !undoActions_.empty(); ++i) {
        std::unique_ptr<SpreadSheetHistoryAction> action = std::move(undoActions_.back());
        undoActions_.pop_back();
        if (action->view_ && action->view_->Index() >= 0)
            owner_->SetActiveSheetIndex(action->view_->Index());
        for (auto it = action->commands_.rbegin(); it != action->commands_.rend(); ++it)
            (*it)->Undo();
        modified = action->modified_;
        redoActions_.push_back(std::move(action));
    }
    --lockCount_; // not Unlock(): the steps just moved must survive
    owner_->EndUpdate();
    owner_->SetModified(modified);
    --inProcessRefCount_;
    Changed();
}

void SpreadSheetHistory::Redo(int count)
{
    if (count <= 0 || redoActions_.empty())
        return;
    Lock();
    currentAction_ = nullptr;
    ++inProcessRefCount_;
    owner_->BeginUpdate();
    owner_->AddChanges(sscData | sscLayout);
    for (int i = 0; i < count && !redoActions_.empty(); ++i) {
        std::unique_ptr<SpreadSheetHistoryAction> action = std::move(redoActions_.back());
        redoActions_.pop_back();
        if (action->view_ && action->view_->Index() >= 0)
            owner_->SetActiveSheetIndex(action->view_->Index());
        for (auto& command : action->commands_)
            command->Redo();
        undoActions_.push_back(std::move(action));
    }
    --lockCount_;
    owner_->EndUpdate();
    --inProcessRefCount_;
    Changed();
}

const SpreadSheetHistoryAction* SpreadSheetHistory::UndoActions(int index) const
{
    if (index < 0 || index >= UndoActionCount())
        return nullptr;
    return undoActions_[undoActions_.size() - 1 - static_cast<size_t>(index)].get();
}

const SpreadSheetHistoryAction* SpreadSheetHistory::RedoActions(int index) const
{
    if (index < 0 || index >= RedoActionCount())
        return nullptr;
    return redoActions_[redoActions_.size() - 1 - static_cast<size_t>(index)].get();
}

void SpreadSheetHistory::Unlock()
{
    if (lockCount_ > 0 && --lockCount_ == 0)
        Clear();
}

void SpreadSheetHistory::Clear()
{
    const bool wasEmpty = undoActions_.empty() && redoActions_.empty();
    currentAction_ = nullptr;
    pendingAction_.reset();
    undoActions_.clear();
    redoActions_.clear();
    if (!wasEmpty)
        Changed();
}

void SpreadSheetHistory::SetMaxActionCount(int value)
{
    maxActionCount_ = std::max(value, 0);
    if (Trim())
        Changed();
}

bool SpreadSheetHistory::Trim()
{
    bool trimmed = false;
    while (maxActionCount_ > 0 && UndoActionCount() + RedoActionCount() > maxActionCount_ && !undoActions_.empty()) {
        if (currentAction_ == undoActions_.front().get())
            currentAction_ = nullptr;
        undoActions_.erase(undoActions_.begin());
        trimmed = true;
    }
    return trimmed;
}

void SpreadSheetHistory::Changed()
{
    if (owner_->IsLoading() || owner_->IsDestroying())
        return;
    if (owner_->OnHistoryChanged)
        owner_->OnHistoryChanged();
}

} // namespace quorvel
