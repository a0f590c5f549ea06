#include "model/SpreadSheetTableItemGroups.h"

#include "model/SpreadSheet.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetStrings.h"
#include "model/SpreadSheetTableItems.h"
#include "model/SpreadSheetTableView.h"

#include <algorithm>

namespace quorvel {

// Group

SpreadSheetTableItemGroup::SpreadSheetTableItemGroup(
    SpreadSheetTableItemGroups* owner, SpreadSheetTableItemGroup* parent, int start, int finish)
    : owner_(owner)
    , parent_(parent)
    , startIndex_(start)
    , finishIndex_(finish)
{
}

int SpreadSheetTableItemGroup::Level() const { return parent_ ? parent_->Level() + 1 : -1; }

int SpreadSheetTableItemGroup::SubtreeDepth() const
{
    int depth = 0;
    for (const auto& child : children_)
        depth = std::max(depth, child->SubtreeDepth());
    return depth + 1;
}

bool SpreadSheetTableItemGroup::Expanded() const
{
    const SpreadSheetTableItems& items = *owner_->items_;
    int index = startIndex_;
    for (const auto& child : children_) {
        for (; index < child->startIndex_; ++index)
            if (items.IsItemVisible(index))
                return true;
        index = std::max(index, child->finishIndex_ + 1);
    }
    for (; index <= finishIndex_; ++index)
        if (items.IsItemVisible(index))
            return true;
    return false;
}

// Groups

namespace {

/// One user operation on the groups: one undo step and one relayout.
class GroupOperation {
public:
    GroupOperation(SpreadSheetTableView& view, SpreadSheetHistoryActionKind kind)
        : view_(view)
    {
        view_.SpreadSheetOwner().History().BeginAction(kind);
        view_.BeginUpdate();
    }
    GroupOperation(const GroupOperation&) = delete;
    GroupOperation& operator=(const GroupOperation&) = delete;
    ~GroupOperation()
    {
        view_.AddChanges(sscLayout | sscModified);
        view_.EndUpdate();
        view_.SpreadSheetOwner().History().EndAction();
    }

private:
    SpreadSheetTableView& view_;
};

} // namespace

SpreadSheetTableItemGroups::SpreadSheetTableItemGroups(SpreadSheetTableItems* items)
    : items_(items)
    , root_(new SpreadSheetTableItemGroup(this, nullptr, 0, items->MaxIndex()))
{
}

SpreadSheetTableItemGroups::~SpreadSheetTableItemGroups() = default;

int SpreadSheetTableItemGroups::MaxLevel() const { return root_->SubtreeDepth() - 1; }

SpreadSheetTableItemGroup* SpreadSheetTableItemGroups::Find(int index) const
{
    SpreadSheetTableItemGroup* found = nullptr;
    const SpreadSheetTableItemGroup* group = root_.get();
    for (bool descended = true; descended;) {
        descended = false;
        for (const auto& child : group->children_) {
            if (index >= child->startIndex_ && index <= child->finishIndex_) {
                found = child.get();
                group = found;
                descended = true;
                break;
            }
        }
    }
    return found;
}

SpreadSheetHistory& SpreadSheetTableItemGroups::History() const
{
    return items_->View().SpreadSheetOwner().History();
}

// Tree primitives: every change of a range, a flag or a parent is recorded here, so that undo can
// replay the exact tree the user saw.

void SpreadSheetTableItemGroups::SetRange(SpreadSheetTableItemGroup* group, int start, int finish)
{
    if (group->startIndex_ == start && group->finishIndex_ == finish)
        return;
    SpreadSheetHistory& history = History();
    if (history.CanAddCommand())
        history.AddCommand(std::make_unique<SpreadSheetHistoryChangeGroupRangeCommand>(group));
    group->startIndex_ = start;
    group->finishIndex_ = finish;
}

void SpreadSheetTableItemGroups::SetCollapsedByUser(SpreadSheetTableItemGroup* group, bool value)
{
    if (group->collapsedByUser_ == value)
        return;
    SpreadSheetHistory& history = History();
    if (history.CanAddCommand())
        history.AddCommand(std::make_unique<SpreadSheetHistoryChangeGroupRangeCommand>(group));
    group->collapsedByUser_ = value;
}

void SpreadSheetTableItemGroups::Move(
    GroupPtr group, SpreadSheetTableItemGroup* previousParent, SpreadSheetTableItemGroup* parent)
{
    SpreadSheetTableItemGroup* moved = group.get();
    if (parent)
        Attach(std::move(group), parent);
    // A group that leaves the tree lives on in the command, for undo to put it back.
    SpreadSheetHistory& history = History();
    if (history.CanAddCommand())
        history.AddCommand(
            std::make_unique<SpreadSheetHistoryChangeGroupParentCommand>(moved, previousParent, std::move(group)));
}

void SpreadSheetTableItemGroups::MoveUnder(SpreadSheetTableItemGroup* group, SpreadSheetTableItemGroup* parent)
{
    SpreadSheetTableItemGroup* previousParent = group->parent_;
    if (previousParent != parent)
        Move(Detach(group), previousParent, parent);
}

SpreadSheetTableItemGroups::GroupPtr SpreadSheetTableItemGroups::Detach(SpreadSheetTableItemGroup* group)
{
    auto& siblings = group->parent_->children_;
    const auto it
        = std::find_if(siblings.begin(), siblings.end(), [group](const GroupPtr& item) { return item.get() == group; });
    GroupPtr detached = std::move(*it);
    siblings.erase(it);
    detached->parent_ = nullptr;
    return detached;
}

void SpreadSheetTableItemGroups::Attach(GroupPtr group, SpreadSheetTableItemGroup* parent)
{
    auto& children = parent->children_;
    const auto at = std::upper_bound(children.begin(), children.end(), group->startIndex_,
        [](int start, const GroupPtr& child) { return start < child->startIndex_; });
    group->parent_ = parent;
    children.insert(at, std::move(group));
}

void SpreadSheetTableItemGroups::SortChildren(SpreadSheetTableItemGroup* group)
{
    std::stable_sort(group->children_.begin(), group->children_.end(),
        [](const GroupPtr& a, const GroupPtr& b) { return a->startIndex_ < b->startIndex_; });
}

// Operations

void SpreadSheetTableItemGroups::Clear()
{
    if (root_->children_.empty())
        return;
    GroupOperation operation(items_->View(), SpreadSheetHistoryActionKind::DeleteGroup);
    while (!root_->children_.empty())
        MoveUnder(root_->children_.back().get(), nullptr);
}

// Each position of the range goes to the deepest group containing it; the new piece ends at the
// parent's end, the requested end, or before the parent's next child inside the range.
void SpreadSheetTableItemGroups::Add(int first, int last)
{
    first = std::clamp(first, 0, items_->MaxIndex());
    last = std::clamp(last, 0, items_->MaxIndex());
    if (first > last)
        std::swap(first, last);

    struct Piece {
        SpreadSheetTableItemGroup* parent;
        int start;
        int finish;
    };
    std::vector<Piece> pieces;
    for (int index = first; index <= last;) {
        SpreadSheetTableItemGroup* parent = Find(index);
        if (parent == nullptr)
            parent = root_.get();
        int finish = std::min(parent->finishIndex_, last);
        for (const auto& child : parent->children_)
            if (child->startIndex_ > index && child->startIndex_ <= finish)
                finish = std::min(finish, child->startIndex_ - 1);
        pieces.push_back({ parent, index, finish });
        index = finish + 1;
    }
    // The limit is checked before anything changes, so a refused grouping leaves the groups as
    // they were.
    for (const Piece& piece : pieces) {
        int depth = 0;
        for (const auto& child : piece.parent->children_)
            if (child->startIndex_ >= piece.start && child->finishIndex_ <= piece.finish)
                depth = std::max(depth, child->SubtreeDepth());
        if (piece.parent->Level() + depth + 2 > kMaxOutlineLevelCount)
            throw ESpreadSheetError(sErrorMaxOutlineLevel.Text());
    }

    GroupOperation operation(items_->View(), SpreadSheetHistoryActionKind::AddGroup);
    for (const Piece& piece : pieces) {
        auto owned = GroupPtr(new SpreadSheetTableItemGroup(this, nullptr, piece.start, piece.finish));
        SpreadSheetTableItemGroup* group = owned.get();
        // Groups wholly inside the new one become its children.
        std::vector<SpreadSheetTableItemGroup*> inside;
        for (const auto& child : piece.parent->children_)
            if (child->startIndex_ >= piece.start && child->finishIndex_ <= piece.finish)
                inside.push_back(child.get());
        Move(std::move(owned), nullptr, piece.parent);
        for (SpreadSheetTableItemGroup* child : inside)
            MoveUnder(child, group);
    }
    // Merging touching siblings can take a piece's parent out of the tree, so the parents are
    // tidied only once every piece is in place, the deepest first.
    std::vector<SpreadSheetTableItemGroup*> parents;
    for (const Piece& piece : pieces)
        if (std::find(parents.begin(), parents.end(), piece.parent) == parents.end())
            parents.push_back(piece.parent);
    std::stable_sort(parents.begin(), parents.end(),
        [](const SpreadSheetTableItemGroup* a, const SpreadSheetTableItemGroup* b) { return a->Level() > b->Level(); });
    for (SpreadSheetTableItemGroup* parent : parents)
        Validate(parent);
}

// Children sorted by start; touching or overlapping siblings merge into the first; children are
// clamped into the parent, which grows to cover them.
void SpreadSheetTableItemGroups::Validate(SpreadSheetTableItemGroup* group)
{
    SortChildren(group);
    auto& children = group->children_;
    for (size_t i = 1; i < children.size();) {
        SpreadSheetTableItemGroup* previous = children[i - 1].get();
        SpreadSheetTableItemGroup* next = children[i].get();
        if (next->startIndex_ > previous->finishIndex_ + 1) {
            ++i;
            continue;
        }
        SetRange(previous, previous->startIndex_, std::max(previous->finishIndex_, next->finishIndex_));
        SetCollapsedByUser(previous, previous->collapsedByUser_ || next->collapsedByUser_);
        while (!next->children_.empty())
            MoveUnder(next->children_.front().get(), previous);
        MoveUnder(next, nullptr);
        Validate(previous);
    }
    if (group == root_.get())
        return;
    for (const auto& child : children)
        SetRange(child.get(), std::max(child->startIndex_, group->startIndex_),
            std::min(child->finishIndex_, group->finishIndex_));
    if (!children.empty()) {
        int finish = group->finishIndex_;
        for (const auto& child : children)
            finish = std::max(finish, child->finishIndex_);
        SetRange(group, std::min(group->startIndex_, children.front()->startIndex_), finish);
    }
}

void SpreadSheetTableItemGroups::Delete(int first, int last)
{
    first = std::clamp(first, 0, items_->MaxIndex());
    last = std::clamp(last, 0, items_->MaxIndex());
    if (first > last)
        std::swap(first, last);
    GroupOperation operation(items_->View(), SpreadSheetHistoryActionKind::DeleteGroup);
    for (int position = first; position <= last; ++position) {
        for (SpreadSheetTableItemGroup* group = Find(position); group && group != root_.get();) {
            SpreadSheetTableItemGroup* parent = group->parent_;
            if (group->startIndex_ == group->finishIndex_) {
                // Its children (one-position groups too) have gone before it: Find gave the deepest.
                MoveUnder(group, nullptr);
            } else if (group->startIndex_ == position) {
                SetRange(group, position + 1, group->finishIndex_);
            } else if (group->finishIndex_ == position) {
                SetRange(group, group->startIndex_, position - 1);
            } else {
                auto owned = GroupPtr(new SpreadSheetTableItemGroup(this, nullptr, position + 1, group->finishIndex_));
                owned->collapsedByUser_ = group->collapsedByUser_;
                SpreadSheetTableItemGroup* second = owned.get();
                SetRange(group, group->startIndex_, position - 1);
                Move(std::move(owned), nullptr, parent);
                std::vector<SpreadSheetTableItemGroup*> after;
                for (const auto& child : group->children_)
                    if (child->startIndex_ > position)
                        after.push_back(child.get());
                for (SpreadSheetTableItemGroup* child : after)
                    MoveUnder(child, second);
            }
            group = parent;
        }
    }
}

void SpreadSheetTableItemGroups::SetItemsVisible(int first, int last, bool visible)
{
    for (int index = first; index <= last; ++index) {
        if (visible && items_->Items(index) == nullptr)
            continue; // absent items are visible already
        items_->CreateItem(index)->SetVisible(visible);
    }
}

void SpreadSheetTableItemGroups::Collapse(SpreadSheetTableItemGroup* group)
{
    GroupOperation operation(items_->View(), SpreadSheetHistoryActionKind::ExpandGroup);
    CollapseItems(group);
}

void SpreadSheetTableItemGroups::CollapseItems(SpreadSheetTableItemGroup* group)
{
    SetItemsVisible(group->startIndex_, group->finishIndex_, false);
    SetCollapsedByUser(group, true);
}

void SpreadSheetTableItemGroups::ExpandChildren(SpreadSheetTableItemGroup* group)
{
    int index = group->startIndex_;
    for (const auto& child : group->children_) {
        SetItemsVisible(index, child->startIndex_ - 1, true);
        if (!child->collapsedByUser_)
            ExpandChildren(child.get());
        index = child->finishIndex_ + 1;
    }
    SetItemsVisible(index, group->finishIndex_, true);
}

void SpreadSheetTableItemGroups::Expand(SpreadSheetTableItemGroup* group)
{
    GroupOperation operation(items_->View(), SpreadSheetHistoryActionKind::ExpandGroup);
    SetCollapsedByUser(group, false);
    ExpandChildren(group);
}

// Returns whether the group holds visible items afterwards.
bool SpreadSheetTableItemGroups::ExpandTo(SpreadSheetTableItemGroup* group, int level)
{
    if (group->Level() > level || group->children_.empty()) {
        if (group->Level() > level)
            SetItemsVisible(group->startIndex_, group->finishIndex_, false);
        else
            ExpandChildren(group);
        return group->Expanded();
    }
    ExpandChildren(group);
    for (const auto& child : group->children_)
        ExpandTo(child.get(), level);
    return group->Expanded();
}

void SpreadSheetTableItemGroups::ExpandToLevel(int level)
{
    GroupOperation operation(items_->View(), SpreadSheetHistoryActionKind::ExpandGroup);
    for (const auto& group : root_->children_) {
        if (level < 0)
            CollapseItems(group.get());
        else
            ExpandTo(group.get(), level);
    }
}

} // namespace quorvel
