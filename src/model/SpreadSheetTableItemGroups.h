#pragma once

#include <memory>
#include <vector>

namespace quorvel {

class SpreadSheetTableItems;
class SpreadSheetTableItemGroups;
class SpreadSheetHistory;
class SpreadSheetHistoryChangeGroupRangeCommand;
class SpreadSheetHistoryChangeGroupParentCommand;

enum class SpreadSheetTableItemGroupExpandButtonPosition { gebpGroupStart, gebpGroupFinish };
using enum SpreadSheetTableItemGroupExpandButtonPosition;

/// One outline group over an inclusive range of rows or columns.
class SpreadSheetTableItemGroup {
public:
    int StartIndex() const { return startIndex_; }
    int FinishIndex() const { return finishIndex_; }
    SpreadSheetTableItemGroup* Parent() const { return parent_; }
    int ChildCount() const { return static_cast<int>(children_.size()); }
    SpreadSheetTableItemGroup* Child(int i) const { return children_[static_cast<size_t>(i)].get(); }
    /// Root is −1, top-level groups 0.
    int Level() const;
    /// Levels below this one, counting itself as 1.
    int SubtreeDepth() const;
    bool CollapsedByUser() const { return collapsedByUser_; }
    /// True when some item of the range outside the children is visible.
    bool Expanded() const;

private:
    friend class SpreadSheetTableItemGroups;
    friend class SpreadSheetHistoryChangeGroupRangeCommand;
    friend class SpreadSheetHistoryChangeGroupParentCommand;
    SpreadSheetTableItemGroup(SpreadSheetTableItemGroups* owner, SpreadSheetTableItemGroup* parent, int start,
        int finish);

    SpreadSheetTableItemGroups* owner_;
    SpreadSheetTableItemGroup* parent_;
    std::vector<std::unique_ptr<SpreadSheetTableItemGroup>> children_;
    int startIndex_;
    int finishIndex_;
    bool collapsedByUser_ = false;
};

/// The outline groups of one axis: an invisible root whose children are the top-level groups.
class SpreadSheetTableItemGroups {
public:
    explicit SpreadSheetTableItemGroups(SpreadSheetTableItems* items);
    ~SpreadSheetTableItemGroups();

    SpreadSheetTableItemGroup& Root() { return *root_; }
    const SpreadSheetTableItemGroup& Root() const { return *root_; }
    int Count() const { return root_->ChildCount(); }
    /// Deepest level in use (0 when there are no groups).
    int MaxLevel() const;
    SpreadSheetTableItemGroupExpandButtonPosition ExpandButtonPosition = gebpGroupFinish;

    // Each operation below is one undoable step.
    /// Groups first..last; raises sErrorMaxOutlineLevel when nesting would exceed 8 levels, leaving
    /// the groups as they were.
    void Add(int first, int last);
    /// Removes the positions first..last from every group containing them.
    void Delete(int first, int last);
    /// Removes every group of the axis.
    void Clear();
    /// The deepest group containing `index`, or nullptr.
    SpreadSheetTableItemGroup* Find(int index) const;

    void Collapse(SpreadSheetTableItemGroup* group);
    void Expand(SpreadSheetTableItemGroup* group);
    void ExpandToLevel(int level);

private:
    friend class SpreadSheetTableItemGroup;
    friend class SpreadSheetHistoryChangeGroupRangeCommand;
    friend class SpreadSheetHistoryChangeGroupParentCommand;
    using GroupPtr = std::unique_ptr<SpreadSheetTableItemGroup>;
    SpreadSheetHistory& History() const;

    // Every change of the tree goes through these, so that the history can record it.
    void SetRange(SpreadSheetTableItemGroup* group, int start, int finish);
    void SetCollapsedByUser(SpreadSheetTableItemGroup* group, bool value);
    /// Puts a detached group under `parent` (nullptr: it leaves the tree and is freed unless the
    /// history keeps it for undo); `previousParent` is where it was.
    void Move(GroupPtr group, SpreadSheetTableItemGroup* previousParent, SpreadSheetTableItemGroup* parent);
    void MoveUnder(SpreadSheetTableItemGroup* group, SpreadSheetTableItemGroup* parent);
    GroupPtr Detach(SpreadSheetTableItemGroup* group);
    void Attach(GroupPtr group, SpreadSheetTableItemGroup* parent);
    static void SortChildren(SpreadSheetTableItemGroup* group);

    void Validate(SpreadSheetTableItemGroup* group);
    void SetItemsVisible(int first, int last, bool visible);
    void CollapseItems(SpreadSheetTableItemGroup* group);
    void ExpandChildren(SpreadSheetTableItemGroup* group);
    bool ExpandTo(SpreadSheetTableItemGroup* group, int level);

    SpreadSheetTableItems* items_;
    std::unique_ptr<SpreadSheetTableItemGroup> root_;
};

} // namespace quorvel
