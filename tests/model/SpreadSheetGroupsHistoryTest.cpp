#include "SpreadSheetTestSupport.h"

#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetTableItemGroups.h"
#include "model/SpreadSheetTableItems.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace quorvel {
namespace {

constexpr int kWatchedItems = 40;

// "[0-9 [2-4]c]": ranges, nesting and the collapsed-by-user mark. Also checks the links the
// history restores: every child points at its parent and children are sorted and disjoint.
QString outline(const SpreadSheetTableItemGroup& group)
{
    QString text;
    int previousFinish = -2;
    for (int i = 0; i < group.ChildCount(); ++i) {
        const SpreadSheetTableItemGroup* child = group.Child(i);
        EXPECT_EQ(child->Parent(), &group);
        EXPECT_GT(child->StartIndex(), previousFinish + 1) << "siblings must be sorted and apart";
        previousFinish = child->FinishIndex();
        text += QStringLiteral("%1[%2-%3")
                    .arg(text.isEmpty() ? "" : " ")
                    .arg(child->StartIndex())
                    .arg(child->FinishIndex());
        if (child->ChildCount() > 0)
            text += ' ' + outline(*child);
        text += child->CollapsedByUser() ? "]c" : "]";
    }
    return text;
}

QString hidden(const SpreadSheetTableItems& items)
{
    QStringList list;
    for (int i = 0; i < kWatchedItems; ++i)
        if (!items.IsItemVisible(i))
            list << QString::number(i);
    return list.join(',');
}

struct Step {
    const char* what;
    std::function<void(SpreadSheetTableItemGroups&)> operation;
    QString description;
    QString outline;
    QString hidden;
};

std::vector<Step> scenario()
{
    auto at = [](SpreadSheetTableItemGroups& groups, int index) { return groups.Find(index); };
    return {
        { "outer group", [](auto& g) { g.Add(0, 20); }, "Group", "[0-20]", "" },
        { "nested group", [](auto& g) { g.Add(2, 5); }, "Group", "[0-20 [2-5]]", "" },
        { "second nested group", [](auto& g) { g.Add(8, 9); }, "Group", "[0-20 [2-5] [8-9]]", "" },
        { "range over a group's end: pieces, then a touching sibling merges", [](auto& g) { g.Add(4, 6); }, "Group",
            "[0-20 [2-6 [4-5]] [8-9]]", "" },
        { "collapse the innermost group", [at](auto& g) { g.Collapse(at(g, 4)); }, "Show/Hide Details",
            "[0-20 [2-6 [4-5]c] [8-9]]", "4,5" },
        { "collapse to the top level", [](auto& g) { g.ExpandToLevel(-1); }, "Show/Hide Details",
            "[0-20 [2-6 [4-5]c] [8-9]]c", "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20" },
        { "expand the outer group: the user's collapse stays", [at](auto& g) { g.Expand(at(g, 0)); },
            "Show/Hide Details", "[0-20 [2-6 [4-5]c] [8-9]]", "4,5" },
        { "delete a position: shrink, split the middle ones", [](auto& g) { g.Delete(5, 5); }, "Ungroup",
            "[0-4 [2-4 [4-4]c]] [6-20 [6-6] [8-9]]", "4,5" },
        { "a one-position group touching groups at both ends merges them", [](auto& g) { g.Add(5, 5); }, "Group",
            "[0-20 [2-4 [4-4]c] [6-6] [8-9]]", "4,5" },
        { "a separate group", [](auto& g) { g.Add(30, 33); }, "Group", "[0-20 [2-4 [4-4]c] [6-6] [8-9]] [30-33]",
            "4,5" },
        { "a range ending on a group: the piece before it merges with the group it sits in",
            [](auto& g) { g.Add(27, 33); }, "Group", "[0-20 [2-4 [4-4]c] [6-6] [8-9]] [27-33 [30-33]]", "4,5" },
        { "ungroup everything", [](auto& g) { g.Clear(); }, "Ungroup", "", "4,5" },
    };
}

class SpreadSheetGroupsHistory : public testing::TestWithParam<SpreadSheetTableItemsKind> { };

// Each operation is one step; undoing step by step walks back through exactly the states seen on
// the way, and redoing walks forward through them again, twice over.
TEST_P(SpreadSheetGroupsHistory, EveryOperationUndoesAndRedoesAsOneStep)
{
    auto book = test::MakeBookWithHistory();
    SpreadSheetTableView* sheet = book->ActiveSheet();
    SpreadSheetTableItems& items = GetParam() == SpreadSheetTableItemsKind::Rows
        ? static_cast<SpreadSheetTableItems&>(sheet->Rows())
        : static_cast<SpreadSheetTableItems&>(sheet->Columns());
    SpreadSheetTableItemGroups& groups = items.Groups();
    SpreadSheetHistory& history = book->History();

    const std::vector<Step> steps = scenario();
    std::vector<std::pair<QString, QString>> states { { "", "" } };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.operation(groups);
        EXPECT_EQ(outline(groups.Root()), step.outline);
        EXPECT_EQ(hidden(items), step.hidden);
        ASSERT_EQ(history.UndoActionCount(), static_cast<int>(states.size()));
        EXPECT_EQ(history.UndoActions(0)->Description(), step.description);
        states.emplace_back(step.outline, step.hidden);
    }
    for (int round = 0; round < 2; ++round) {
        for (int i = static_cast<int>(steps.size()) - 1; i >= 0; --i) {
            SCOPED_TRACE(QStringLiteral("undo of: %1").arg(steps[static_cast<size_t>(i)].what).toStdString());
            history.Undo();
            EXPECT_EQ(outline(groups.Root()), states[static_cast<size_t>(i)].first);
            EXPECT_EQ(hidden(items), states[static_cast<size_t>(i)].second);
        }
        EXPECT_EQ(history.UndoActionCount(), 0);
        for (size_t i = 0; i < steps.size(); ++i) {
            SCOPED_TRACE(QStringLiteral("redo of: %1").arg(steps[i].what).toStdString());
            history.Redo();
            EXPECT_EQ(outline(groups.Root()), states[i + 1].first);
            EXPECT_EQ(hidden(items), states[i + 1].second);
        }
    }
    // Everything at once, then a new change: the redo list (holding groups out of the tree) goes.
    history.Undo(static_cast<int>(steps.size()));
    EXPECT_EQ(outline(groups.Root()), "");
    EXPECT_EQ(hidden(items), "");
    groups.Add(1, 2);
    EXPECT_EQ(history.RedoActionCount(), 0);
    EXPECT_EQ(outline(groups.Root()), "[1-2]");
}

INSTANTIATE_TEST_SUITE_P(Axes, SpreadSheetGroupsHistory,
    testing::Values(SpreadSheetTableItemsKind::Rows, SpreadSheetTableItemsKind::Columns),
    [](const auto& info) { return info.param == SpreadSheetTableItemsKind::Rows ? "Rows" : "Columns"; });

TEST(SpreadSheetGroupsHistoryEdges, RefusedGroupingAndDisabledHistoryRecordNothing)
{
    auto book = test::MakeBook();
    SpreadSheetTableItemGroups& groups = book->ActiveSheet()->Rows().Groups();
    groups.Add(0, 9); // history off: the groups change, nothing is recorded
    EXPECT_EQ(book->History().UndoActionCount(), 0);
    EXPECT_EQ(outline(groups.Root()), "[0-9]");

    book->SetHistoryEnabled(true);
    book->ActiveSheet()->Columns().Groups().Clear(); // nothing to ungroup: no step
    EXPECT_EQ(book->History().UndoActionCount(), 0);
    for (int level = 1; level < kMaxOutlineLevelCount; ++level)
        groups.Add(level, 9);
    EXPECT_EQ(book->History().UndoActionCount(), kMaxOutlineLevelCount - 1);
    EXPECT_THROW(groups.Add(8, 9), ESpreadSheetError);
    EXPECT_EQ(book->History().UndoActionCount(), kMaxOutlineLevelCount - 1);
    // The history is usable after the refusal: no bracket was left open.
    groups.Delete(9, 9);
    EXPECT_EQ(book->History().UndoActionCount(), kMaxOutlineLevelCount);
    book->History().Undo();
    EXPECT_EQ(groups.Find(9)->Level(), kMaxOutlineLevelCount - 1);
}

// Trimming frees the oldest steps, including a command that owns a group taken out of the tree;
// the newer steps must still undo over the groups that remain.
TEST(SpreadSheetGroupsHistoryEdges, TrimmedStepsLeaveTheNewerOnesWorking)
{
    auto book = test::MakeBookWithHistory();
    book->History().SetMaxActionCount(2);
    SpreadSheetTableItemGroups& groups = book->ActiveSheet()->Columns().Groups();
    groups.Add(0, 5);
    groups.Delete(0, 5); // the group leaves the tree, owned by this step
    groups.Add(3, 4);
    groups.Add(10, 12); // trims the first two steps
    EXPECT_EQ(book->History().UndoActionCount(), 2);
    book->History().Undo(2);
    EXPECT_EQ(outline(groups.Root()), "");
    book->History().Redo(2);
    EXPECT_EQ(outline(groups.Root()), "[3-4] [10-12]");
}

} // namespace
} // namespace quorvel
