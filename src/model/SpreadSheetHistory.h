#pragma once

#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetCoreStyles.h"
#include "resources/ResourceString.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace quorvel {

class SpreadSheet;
class SpreadSheetTableView;
class SpreadSheetTableItem;
class SpreadSheetTableItems;
class SpreadSheetHistory;
class SpreadSheetHistoryAction;
class SpreadSheetCellStyleHandle;
class SpreadSheetTableItemGroup;

inline constexpr ResourceString sActionCellEditing{ "sActionCellEditing", "Cell Editing" };
inline constexpr ResourceString sActionClearCells{ "sActionClearCells", "Clear Cell(s)" };
inline constexpr ResourceString sActionFormatCells{ "sActionFormatCells", "Format Cells" };
inline constexpr ResourceString sActionExpandCollapseGroup{ "sActionExpandCollapseGroup", "Show/Hide Details" };
inline constexpr ResourceString sActionAddGroup{ "sActionAddGroup", "Group" };
inline constexpr ResourceString sActionChangeGroup{ "sActionChangeGroup", "Change Group" };
inline constexpr ResourceString sActionDeleteGroup{ "sActionDeleteGroup", "Ungroup" };
inline constexpr ResourceString sActionChangeRowColumn{ "sActionChangeRowColumn", "Change Row/Column" };
inline constexpr ResourceString sActionPasteCells{ "sActionPasteCells", "Paste Cells" };

/// The kinds of user-level steps; each has its description text.
enum class SpreadSheetHistoryActionKind : std::uint8_t {
    EditCell,
    ClearCells,
    FormatCells,
    ExpandGroup,
    AddGroup,
    ChangeGroup,
    DeleteGroup,
    ChangeRowColumnItem,
    PasteCells,
};

/// One recorded change. Every command is a swap: undo and redo exchange the saved state with the
/// current one, so a command undone and redone any number of times toggles between two states.
class SpreadSheetHistoryCustomCommand {
public:
    virtual ~SpreadSheetHistoryCustomCommand() = default;
    /// The step this command starts when it is recorded outside a bracket.
    virtual SpreadSheetHistoryActionKind ActionKind() const { return SpreadSheetHistoryActionKind::EditCell; }
    /// Whether `other`, recorded next, may join the step this command started.
    virtual bool CompatibleWith(const SpreadSheetHistoryCustomCommand& /*other*/) const { return false; }
    virtual void Undo() = 0;
    virtual void Redo() { Undo(); }
    /// Captures the state at the moment the command joins an action.
    virtual void Initialize() { }
};

/// Base of the commands that concern one cell position.
class SpreadSheetHistoryCellCommand : public SpreadSheetHistoryCustomCommand {
public:
    explicit SpreadSheetHistoryCellCommand(const SpreadSheetCell* cell);
    bool CompatibleWith(const SpreadSheetHistoryCustomCommand& other) const override;

protected:
    SpreadSheetCell* Cell() const;
    SpreadSheetCell* CreateCell() const;
    SpreadSheetTableView* view_;
    int row_;
    int column_;
};

class SpreadSheetHistoryCreateCellCommand final : public SpreadSheetHistoryCellCommand {
public:
    SpreadSheetHistoryCreateCellCommand(const SpreadSheetCell* cell, bool columnExisted);
    void Undo() override;
    void Redo() override;

private:
    bool rowExisted_ = true;
    bool columnExisted_;
};

class SpreadSheetHistoryChangeCellCommand final : public SpreadSheetHistoryCellCommand {
public:
    explicit SpreadSheetHistoryChangeCellCommand(const SpreadSheetCell* cell);
    void Undo() override;

private:
    SpreadSheetCellValue value_;
};

/// A formula's text before a structural edit adjusted its references.
class SpreadSheetHistoryFormulaChangedCommand final : public SpreadSheetHistoryCellCommand {
public:
    /// `text` is the formula's text before the change.
    SpreadSheetHistoryFormulaChangedCommand(const SpreadSheetCell* cell, QString text);
    void Undo() override;

private:
    QString text_;
};

class SpreadSheetHistoryChangeCellStyleCommand final : public SpreadSheetHistoryCellCommand {
public:
    explicit SpreadSheetHistoryChangeCellStyleCommand(const SpreadSheetCell* cell);
    void Undo() override;

private:
    SpreadSheetHandleRef<SpreadSheetCellStyleHandle> style_;
};

class SpreadSheetHistoryChangeItemCommand final : public SpreadSheetHistoryCustomCommand {
public:
    explicit SpreadSheetHistoryChangeItemCommand(const SpreadSheetTableItem* item);
    SpreadSheetHistoryActionKind ActionKind() const override
    {
        return SpreadSheetHistoryActionKind::ChangeRowColumnItem;
    }
    void Undo() override;

private:
    SpreadSheetTableItems* items_;
    int index_;
    int size_;
    bool defaultSize_;
    bool customSize_;
    bool visible_;
    SpreadSheetHandleRef<SpreadSheetCellStyleHandle> style_;
};

class SpreadSheetHistoryChangeDefaultSizeCommand final : public SpreadSheetHistoryCustomCommand {
public:
    explicit SpreadSheetHistoryChangeDefaultSizeCommand(SpreadSheetTableItems* items);
    SpreadSheetHistoryActionKind ActionKind() const override
    {
        return SpreadSheetHistoryActionKind::ChangeRowColumnItem;
    }
    void Undo() override;

private:
    SpreadSheetTableItems* items_;
    int size_;
};

/// An outline group's range and its collapsed-by-user flag.
class SpreadSheetHistoryChangeGroupRangeCommand final : public SpreadSheetHistoryCustomCommand {
public:
    explicit SpreadSheetHistoryChangeGroupRangeCommand(SpreadSheetTableItemGroup* group);
    SpreadSheetHistoryActionKind ActionKind() const override { return SpreadSheetHistoryActionKind::ChangeGroup; }
    void Undo() override;

private:
    SpreadSheetTableItemGroup* group_;
    int startIndex_;
    int finishIndex_;
    bool collapsedByUser_;
};

/// An outline group's parent; no parent means the group is out of the tree, and then the command
/// owns it, so that the same group object comes back and later commands can refer to it.
class SpreadSheetHistoryChangeGroupParentCommand final : public SpreadSheetHistoryCustomCommand {
public:
    /// `previousParent` is the parent before the change; `detached` is the group itself when the
    /// change took it out of the tree.
    SpreadSheetHistoryChangeGroupParentCommand(SpreadSheetTableItemGroup* group,
        SpreadSheetTableItemGroup* previousParent, std::unique_ptr<SpreadSheetTableItemGroup> detached);
    ~SpreadSheetHistoryChangeGroupParentCommand() override;
    SpreadSheetHistoryActionKind ActionKind() const override { return SpreadSheetHistoryActionKind::ChangeGroup; }
    void Undo() override;

private:
    SpreadSheetTableItemGroup* group_;
    SpreadSheetTableItemGroup* parent_;
    std::unique_ptr<SpreadSheetTableItemGroup> detached_;
};

/// One undo step: the commands recorded between BeginAction and EndAction (or joined outside one).
class SpreadSheetHistoryAction {
public:
    SpreadSheetHistoryAction(SpreadSheetHistory* history, SpreadSheetHistoryActionKind kind);
    SpreadSheetHistoryActionKind Kind() const { return kind_; }
    QString Description() const;
    int CommandCount() const { return static_cast<int>(commands_.size()); }
    SpreadSheetTableView* View() const { return view_; }

private:
    friend class SpreadSheetHistory;
    SpreadSheetHistory* history_;
    SpreadSheetHistoryActionKind kind_;
    std::vector<std::unique_ptr<SpreadSheetHistoryCustomCommand>> commands_;
    SpreadSheetTableView* view_;
    bool modified_;
};

/// Records every change of the workbook as commands grouped into undoable steps.
class SpreadSheetHistory {
public:
    explicit SpreadSheetHistory(SpreadSheet* owner);
    ~SpreadSheetHistory();

    void BeginAction(SpreadSheetHistoryActionKind kind);
    void EndAction(bool canceled = false);
    /// Takes ownership; a refused command is freed at once.
    void AddCommand(std::unique_ptr<SpreadSheetHistoryCustomCommand> command);
    bool CanAddCommand() const;

    void Undo(int count = 1);
    void Redo(int count = 1);
    int UndoActionCount() const { return static_cast<int>(undoActions_.size()); }
    int RedoActionCount() const { return static_cast<int>(redoActions_.size()); }
    /// Index 0 is the newest step.
    const SpreadSheetHistoryAction* UndoActions(int index) const;
    const SpreadSheetHistoryAction* RedoActions(int index) const;

    void Lock() { ++lockCount_; }
    /// The unlock that ends the outermost lock clears the whole history.
    void Unlock();
    bool IsLocked() const { return lockCount_ > 0; }
    void Clear();
    bool InProcess() const { return inProcessRefCount_ > 0; }
    int MaxActionCount() const { return maxActionCount_; }
    void SetMaxActionCount(int value);

    /// Hook for the in-place editor: returns true when it handled the undo itself.
    std::function<bool()> EditorUndoHook;

private:
    void Changed();
    bool Trim();
    SpreadSheetHistoryAction* NewAction(SpreadSheetHistoryActionKind kind);

    SpreadSheet* owner_;
    std::vector<std::unique_ptr<SpreadSheetHistoryAction>> undoActions_;
    std::vector<std::unique_ptr<SpreadSheetHistoryAction>> redoActions_;
    std::unique_ptr<SpreadSheetHistoryAction> pendingAction_; // bracketed, not yet in the list
    SpreadSheetHistoryAction* currentAction_ = nullptr;
    int actionLockCount_ = 0;
    int lockCount_ = 0;
    int inProcessRefCount_ = 0;
    int maxActionCount_ = 0;
};

} // namespace quorvel
