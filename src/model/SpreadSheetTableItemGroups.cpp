#include "model/SpreadSheetTableItemGroups.h"

#include "model/SpreadSheetErrors.h"
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

SpreadSheetTableItemGroups::SpreadSheetTableItemGroups(SpreadSheetTableItems* items)
    : items_(items)
    , root_(new SpreadSheetTableItemGroup(this, nullptr, 0, items->MaxIndex()))
{
}

SpreadSheetTableItemGroups::~SpreadSheetTableItemGroups() = default;

int SpreadSheetTableItemGroups::MaxLevel() const { return root_->SubtreeDepth() - 1; }

void SpreadSheetTableItemGroups::Clear() { root_->children_.clear(); }

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
    for (const Piece& piece : pieces) {
        auto group = std::unique_ptr<SpreadSheetTableItemGroup>(
            new SpreadSheetTableItemGroup(this, piece.parent, piece.start, piece.finish));
        // Groups wholly inside the new one become its children.
        auto& siblings = piece.parent->children_;
        for (auto it = siblings.begin(); it != siblings.end();) {
            if ((*it)->startIndex_ >= piece.start && (*it)->finishIndex_ <= piece.finish) {
                (*it)->parent_ = group.get();
                group->children_.push_back(std::move(*it));
                it = siblings.erase(it);
            } else {
                ++it;
            }
        }
        siblings.push_back(std::move(group));
        Validate(piece.parent);
    }
    items_->View().AddChanges(sscLayout | sscModified);
}

// Children sorted by start; touching or overlapping siblings merge into the first; children are
// clamped into the parent, which grows to cover them.
void SpreadSheetTableItemGroups::Validate(SpreadSheetTableItemGroup* group)
{
    auto& children = group->children_;
    std::sort(children.begin(), children.end(),
        [](const auto& a, const auto& b) { return a->startIndex_ < b->startIndex_; });
    for (size_t i = 1; i < children.size();) {
        SpreadSheetTableItemGroup* previous = children[i - 1].get();
        SpreadSheetTableItemGroup* next = children[i].get();
        if (next->startIndex_ <= previous->finishIndex_ + 1) {
            previous->finishIndex_ = std::max(previous->finishIndex_, next->finishIndex_);
            previous->collapsedByUser_ = previous->collapsedByUser_ || next->collapsedByUser_;
            for (auto& child : next->children_) {
                child->parent_ = previous;
                previous->children_.push_back(std::move(child));
            }
            children.erase(children.begin() + static_cast<std::ptrdiff_t>(i));
            Validate(previous);
        } else {
            ++i;
        }
    }
    for (auto& child : children) {
        if (group != root_.get()) {
            child->startIndex_ = std::max(child->startIndex_, group->startIndex_);
            child->finishIndex_ = std::min(child->finishIndex_, group->finishIndex_);
        }
    }
    if (group != root_.get() && !children.empty()) {
        group->startIndex_ = std::min(group->startIndex_, children.front()->startIndex_);
        for (const auto& child : children)
            group->finishIndex_ = std::max(group->finishIndex_, child->finishIndex_);
    }
}

void SpreadSheetTableItemGroups::Delete(int first, int last)
{
    first = std::clamp(first, 0, items_->MaxIndex());
    last = std::clamp(last, 0, items_->MaxIndex());
    if (first > last)
        std::swap(first, last);
    for (int position = first; position <= last; ++position) {
        for (SpreadSheetTableItemGroup* group = Find(position); group && group != root_.get();) {
            SpreadSheetTableItemGroup* parent = group->parent_;
            auto& siblings = parent->children_;
            const auto it = std::find_if(
                siblings.begin(), siblings.end(), [group](const auto& item) { return item.get() == group; });
            if (group->startIndex_ == group->finishIndex_) {
                // Its children (none can exist in one position) go with it.
                siblings.erase(it);
            } else if (group->startIndex_ == position) {
                ++group->startIndex_;
            } else if (group->finishIndex_ == position) {
                --group->finishIndex_;
            } else {
                auto second = std::unique_ptr<SpreadSheetTableItemGroup>(
                    new SpreadSheetTableItemGroup(this, parent, position + 1, group->finishIndex_));
                second->collapsedByUser_ = group->collapsedByUser_;
                group->finishIndex_ = position - 1;
                auto& children = group->children_;
                for (auto child = children.begin(); child != children.end();) {
                    if ((*child)->startIndex_ > position) {
                        (*child)->parent_ = second.get();
                        second->children_.push_back(std::move(*child));
                        child = children.erase(child);
                    } else {
                        ++child;
                    }
                }
                siblings.insert(it + 1, std::move(second));
            }
            group = parent;
        }
    }
    items_->View().AddChanges(sscLayout | sscModified);
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
    SetItemsVisible(group->startIndex_, group->finishIndex_, false);
    group->collapsedByUser_ = true;
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
    group->collapsedByUser_ = false;
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
    for (const auto& group : root_->children_) {
        if (level < 0)
            Collapse(group.get());
        else
            ExpandTo(group.get(), level);
    }
}

} // namespace quorvel
