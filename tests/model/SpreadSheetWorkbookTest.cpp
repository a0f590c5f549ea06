#include "SpreadSheetTestSupport.h"

#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetTableItemGroups.h"
#include "model/SpreadSheetTableItems.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::MakeBook;
using test::Type;

TEST(SpreadSheetSheets, Naming)
{
    auto book = MakeBook();
    EXPECT_EQ(book->Sheets(0)->Caption(), "Sheet1");
    struct Case {
        QString requested;
        QString expected;
    } cases[] = {
        { QString(), "Sheet2" },
        { "a/b:c?d", "a b c d" },
        { "'quoted'", "quoted" },
        { QString(40, u'x'), QString(31, u'x') },
        // The cut form of a second long name is taken: it gets a free number in its last characters.
        { QString(40, u'x'), QString(30, u'x') + "1" },
        { QString(35, u'x'), QString(30, u'x') + "2" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(book->AddSheet(c.requested)->Caption(), c.expected) << c.requested.toStdString();

    // An existing name, ignoring case, gives back the existing sheet.
    const int count = book->SheetCount();
    EXPECT_EQ(book->AddSheet("SHEET1"), book->Sheets(0));
    EXPECT_EQ(book->SheetCount(), count);
    EXPECT_EQ(book->GetSheetByName("sheet2"), book->Sheets(1));

    // Renaming onto another sheet's name is refused silently.
    EXPECT_FALSE(book->Sheets(1)->SetCaption("sheet1"));
    EXPECT_EQ(book->Sheets(1)->Caption(), "Sheet2");
    EXPECT_TRUE(book->Sheets(1)->SetCaption("Data 2024"));
    EXPECT_TRUE(book->Sheets(1)->IsCaptionTextDelimited());
    EXPECT_FALSE(book->Sheets(0)->IsCaptionTextDelimited());
}

TEST(SpreadSheetSheets, DefaultNamesFollowTheTranslation)
{
    Localizer::Reset();
    ASSERT_TRUE(Localizer::ActivateShipped(kLocaleRussian));
    SpreadSheet book(QStringLiteral("ru_RU"));
    EXPECT_EQ(book.ActiveSheet()->Caption(), QString::fromUtf8("Лист1"));
    book.Sheets(0)->SetCaption(QString::fromUtf8("Лист2"));
    EXPECT_EQ(book.AddSheet()->Caption(), QString::fromUtf8("Лист1"));
    EXPECT_EQ(book.AddSheet()->Caption(), QString::fromUtf8("Лист3"));
    Localizer::Reset();
}

TEST(SpreadSheetSheets, ActiveSheetStaysOnAVisibleSheet)
{
    auto book = MakeBook();
    book->AddSheet();
    book->AddSheet();
    book->AddSheet(); // four sheets, 0..3
    int changes = 0;
    book->OnActiveSheetChanged = [&] { ++changes; };
    EXPECT_EQ(book->ActiveSheetIndex(), 0);

    book->Sheets(1)->SetVisible(false);
    book->Sheets(2)->SetVisible(false);
    struct Case {
        int requested;
        int expected;
    } cases[] = { { 3, 3 }, { 2, 0 }, { 1, 0 }, { 99, 3 }, { 0, 0 } };
    for (const Case& c : cases) {
        book->SetActiveSheetIndex(c.requested);
        EXPECT_EQ(book->ActiveSheetIndex(), c.expected) << c.requested;
    }
    EXPECT_EQ(changes, 4);

    // Hiding the active sheet moves the activity; moving a sheet keeps the active one active.
    book->SetActiveSheetIndex(3);
    book->Sheets(3)->SetVisible(false);
    EXPECT_EQ(book->ActiveSheetIndex(), 0);
    SpreadSheetTableView* active = book->ActiveSheet();
    active->SetIndex(3);
    EXPECT_EQ(book->ActiveSheet(), active);
    EXPECT_EQ(book->ActiveSheetIndex(), 3);

    // Deleting the active sheet activates a visible neighbour; deleting the last one leaves none.
    book->Sheets(1)->SetVisible(true);
    book->DeleteSheet(active);
    ASSERT_NE(book->ActiveSheet(), nullptr);
    EXPECT_TRUE(book->ActiveSheet()->Visible());
    book->ClearAll();
    EXPECT_EQ(book->ActiveSheetIndex(), -1);
    EXPECT_EQ(book->SheetCount(), 0);
}

TEST(SpreadSheetSheets, InsertSheetActivatesIt)
{
    auto book = MakeBook();
    book->AddSheet();
    SpreadSheetTableView* sheet = book->InsertSheet(0, "First");
    EXPECT_EQ(sheet->Index(), 0);
    EXPECT_EQ(book->ActiveSheet(), sheet);
    EXPECT_EQ(book->InsertSheet(-1)->Index(), 0);
}

TEST(SpreadSheetSheets, Dimensions)
{
    auto book = MakeBook();
    SpreadSheetTableView* sheet = book->ActiveSheet();
    EXPECT_EQ(sheet->GetDimensions(), (SpreadSheetArea { 0, 0, 0, 0 }));
    Type(*book, 4, 2, "x");
    EXPECT_EQ(sheet->GetDimensions(), (SpreadSheetArea { 0, 0, 2, 4 }));
    Type(*book, 1, 7, "y");
    EXPECT_EQ(sheet->GetDimensions(), (SpreadSheetArea { 0, 0, 7, 4 }));
    // A row item without cells still counts for the bottom edge.
    sheet->Rows().CreateItem(10)->SetSize(30);
    EXPECT_EQ(sheet->GetDimensions(), (SpreadSheetArea { 0, 0, 7, 10 }));
    sheet->DeleteCell(sheet->GetCell(1, 7));
    EXPECT_EQ(sheet->GetDimensions(), (SpreadSheetArea { 0, 0, 2, 10 }));
}

TEST(SpreadSheetSheets, ForEachCellInOrder)
{
    auto book = MakeBook();
    SpreadSheetTableView* sheet = book->ActiveSheet();
    for (const auto& [r, c] : { std::pair { 0, 0 }, { 0, 5 }, { 2, 1 }, { 2, 3 }, { 7, 2 } })
        Type(*book, r, c, QString::number(r * 10 + c));
    QStringList forward;
    QStringList backward;
    const SpreadSheetArea area { 1, 0, 3, 7 };
    sheet->ForEachCell(area, [&](SpreadSheetCell* cell) { forward << cell->AsString(); });
    sheet->ForEachCell(area, [&](SpreadSheetCell* cell) { backward << cell->AsString(); }, false);
    EXPECT_EQ(forward, (QStringList { "21", "23", "72" }));
    EXPECT_EQ(backward, (QStringList { "72", "23", "21" }));
    // The procedure may delete the cell it is given.
    sheet->ForEachCell([&](SpreadSheetCell* cell) { sheet->DeleteCell(cell); });
    EXPECT_EQ(sheet->GetCell(2, 1), nullptr);
    EXPECT_EQ(sheet->GetDimensions().right, 0);
}

TEST(SpreadSheetSheets, CellAccessByReferenceAndLimits)
{
    auto book = MakeBook();
    SpreadSheetTableView* sheet = book->ActiveSheet();
    SpreadSheetCell* corner = sheet->CreateCell(QStringLiteral("XFD1048576"));
    EXPECT_EQ(corner, sheet->GetCell(kMaxRowIndex, kMaxColumnIndex));
    EXPECT_THROW(sheet->CreateCell("XFE1"), ESpreadSheetError);
    EXPECT_THROW(sheet->CreateCell("A0"), ESpreadSheetError);
    EXPECT_THROW(sheet->Columns().CreateItem(QStringLiteral("1A")), ESpreadSheetError);
    EXPECT_EQ(sheet->Columns().CreateItem(QStringLiteral("AB"))->Index(), 27);
    SpreadSheetCellValue value;
    EXPECT_EQ(sheet->GetCellValue(-1, 0, value), ecRefErr);
    EXPECT_EQ(sheet->GetCellValue(0, kMaxColumnIndex + 1, value), ecRefErr);
    Type(*book, 3, 3, "7");
    EXPECT_EQ(sheet->GetCellValue(3, 3, value), ecNone);
    EXPECT_EQ(value.type, cdtFloat);
    EXPECT_EQ(value.number, 7);
}

TEST(SpreadSheetSheets, OptionsAreClamped)
{
    auto book = MakeBook();
    SpreadSheetTableView* sheet = book->ActiveSheet();
    const std::pair<int, int> zooms[] = { { 30, 45 }, { 500, 400 }, { 150, 150 } };
    for (const auto& [set, stored] : zooms) {
        sheet->SetZoomFactor(set);
        EXPECT_EQ(sheet->ZoomFactor(), stored);
    }
    sheet->FreezePanes(-5, 2000000);
    EXPECT_EQ(sheet->FrozenColumn(), -1);
    EXPECT_EQ(sheet->FrozenRow(), kMaxRowIndex);
    sheet->Rows().SetDefaultSize(-3);
    EXPECT_EQ(sheet->Rows().DefaultSize(), 0);
    book->SetIterativeCalculationMaxCount(-1);
    EXPECT_EQ(book->OptionsBehavior().IterativeCalculationMaxCount, 0);
}

TEST(SpreadSheetItems, SizesAndPositions)
{
    auto book = MakeBook();
    SpreadSheetTableView* sheet = book->ActiveSheet();
    SpreadSheetTableRows& rows = sheet->Rows();
    EXPECT_EQ(rows.DefaultSize(), 20);
    EXPECT_EQ(sheet->Columns().DefaultSize(), 85);
    rows.CreateItem(2)->SetSize(50);
    rows.CreateItem(4)->SetVisible(false);
    struct Case {
        int index;
        long long position;
    } cases[] = { { 0, 0 }, { 2, 40 }, { 3, 90 }, { 5, 110 }, { 4, 110 }, { 1, 20 }, { 100, 110 + 95 * 20 } };
    for (const Case& c : cases)
        EXPECT_EQ(rows.GetPosition(c.index), c.position) << c.index;
    EXPECT_EQ(rows.GetDistance(0, 5), 130);
    EXPECT_EQ(rows.GetDistance(5, 0), 0);
    EXPECT_EQ(rows.GetDistance(-10, 0), 20);
    EXPECT_EQ(rows.GetNextVisibleItemIndex(3, true), 5);
    EXPECT_EQ(rows.GetNextVisibleItemIndex(5, false), 3);
    EXPECT_EQ(rows.GetNextVisibleItemIndex(kMaxRowIndex, true), kMaxRowIndex);
    EXPECT_EQ(rows.GetIndexAtPosition(45), 2);
    EXPECT_EQ(rows.GetIndexAtPosition(95), 3);
    EXPECT_EQ(rows.GetPosition(kMaxRowIndex + 1), 1048576LL * 20 + 10);

    // The cache follows size changes.
    rows.CreateItem(0)->SetSize(10);
    EXPECT_EQ(rows.GetPosition(3), 80);
    // A frozen pane adds the separator width minus 1 after the frozen index.
    book->OptionsView().FrozenPaneSeparatorWidth = 3;
    sheet->FreezeRows(1);
    EXPECT_EQ(rows.GetPosition(3), 82);
    EXPECT_EQ(rows.GetPosition(1), 10);
}

TEST(SpreadSheetItems, HidingBySizeAndShowingAgain)
{
    auto book = MakeBook();
    SpreadSheetTableRow* row = book->ActiveSheet()->Rows().CreateItem(3);
    row->SetSize(0);
    EXPECT_FALSE(row->Visible());
    EXPECT_EQ(row->Size(), 0);
    row->SetVisible(true);
    EXPECT_TRUE(row->Visible());
    EXPECT_TRUE(row->DefaultSize());
    EXPECT_EQ(row->Size(), 20);
    row->SetSize(33);
    row->SetVisible(false);
    row->SetVisible(true);
    EXPECT_EQ(row->Size(), 33);
    EXPECT_TRUE(row->IsCustomSize());
}

TEST(SpreadSheetGroups, NestingAndLimit)
{
    auto book = MakeBook();
    SpreadSheetTableItemGroups& groups = book->ActiveSheet()->Rows().Groups();
    groups.Add(0, 20);
    groups.Add(2, 5);
    groups.Add(8, 9);
    ASSERT_EQ(groups.Count(), 1);
    SpreadSheetTableItemGroup* outer = groups.Find(0);
    EXPECT_EQ(outer->ChildCount(), 2);
    EXPECT_EQ(groups.Find(3)->StartIndex(), 2);
    EXPECT_EQ(groups.Find(3)->Level(), 1);
    // A range over the end of a group splits into pieces under the deepest groups.
    groups.Add(4, 6);
    EXPECT_EQ(groups.Find(4)->Level(), 2);
    EXPECT_EQ(groups.Find(6)->Level(), 1);
    EXPECT_EQ(groups.Find(6)->StartIndex(), 2); // touching sibling 6..6 merged into 2..5
    EXPECT_EQ(groups.Find(6)->FinishIndex(), 6);

    // Eight levels fit; a ninth is refused and changes nothing.
    auto deep = MakeBook();
    SpreadSheetTableItemGroups& axis = deep->ActiveSheet()->Columns().Groups();
    for (int level = 0; level < 8; ++level)
        axis.Add(level, 30 - level);
    EXPECT_EQ(axis.MaxLevel(), 8);
    EXPECT_THROW(axis.Add(10, 12), ESpreadSheetError);
    EXPECT_EQ(axis.MaxLevel(), 8);
    EXPECT_EQ(axis.Find(11)->Level(), 7);
}

TEST(SpreadSheetGroups, DeletingPositions)
{
    auto book = MakeBook();
    SpreadSheetTableItemGroups& groups = book->ActiveSheet()->Rows().Groups();
    groups.Add(0, 9);
    groups.Add(12, 12);
    groups.Delete(12, 12); // a one-position group goes away
    EXPECT_EQ(groups.Find(12), nullptr);
    groups.Delete(0, 0); // shrinks at the start
    EXPECT_EQ(groups.Find(1)->StartIndex(), 1);
    groups.Delete(5, 5); // splits in the middle
    EXPECT_EQ(groups.Count(), 2);
    EXPECT_EQ(groups.Find(4)->FinishIndex(), 4);
    EXPECT_EQ(groups.Find(6)->StartIndex(), 6);
    EXPECT_EQ(groups.Find(5), nullptr);
}

TEST(SpreadSheetGroups, CollapseAndExpand)
{
    auto book = MakeBook();
    SpreadSheetTableRows& rows = book->ActiveSheet()->Rows();
    SpreadSheetTableItemGroups& groups = rows.Groups();
    groups.Add(0, 9);
    groups.Add(2, 4);
    SpreadSheetTableItemGroup* inner = groups.Find(3);
    groups.Collapse(inner);
    EXPECT_FALSE(rows.IsItemVisible(3));
    EXPECT_FALSE(inner->Expanded());
    groups.ExpandToLevel(-1);
    EXPECT_FALSE(rows.IsItemVisible(0));
    // Expanding the outer group keeps the inner one collapsed: the user collapsed it.
    groups.Expand(groups.Find(0));
    EXPECT_TRUE(rows.IsItemVisible(0));
    EXPECT_FALSE(rows.IsItemVisible(3));
    groups.ExpandToLevel(1);
    EXPECT_TRUE(rows.IsItemVisible(3));
    groups.ExpandToLevel(0);
    EXPECT_TRUE(rows.IsItemVisible(1));
    EXPECT_FALSE(rows.IsItemVisible(3));
}

TEST(SpreadSheetChangeProcessing, BatchesUntilOutermostEndUpdate)
{
    auto book = MakeBook();
    int dataChanged = 0;
    int layoutChanged = 0;
    int recalculations = 0;
    int modifiedChanged = 0;
    book->OnDataChanged = [&] { ++dataChanged; };
    book->OnLayoutChanged = [&] { ++layoutChanged; };
    book->OnModifiedChanged = [&] { ++modifiedChanged; };
    book->RecalculateHook = [&] { ++recalculations; };
    book->SetModified(false);
    modifiedChanged = 0;

    book->BeginUpdate();
    book->BeginUpdate();
    for (int i = 0; i < 100; ++i)
        Type(*book, i, 0, QString::number(i));
    book->EndUpdate();
    EXPECT_EQ(dataChanged, 0);
    book->EndUpdate();
    EXPECT_EQ(dataChanged, 1);
    EXPECT_EQ(recalculations, 1);
    EXPECT_GE(layoutChanged, 1);
    EXPECT_TRUE(book->Modified());
    EXPECT_EQ(modifiedChanged, 1);

    // Without automatic calculation the data still changes but nothing recalculates.
    book->OptionsBehavior().AutomaticCalculation = false;
    Type(*book, 0, 1, "x");
    EXPECT_EQ(dataChanged, 2);
    EXPECT_EQ(recalculations, 1);

    // Clearing a blank cell is a data change but not a modification.
    book->SetModified(false);
    book->ActiveSheet()->CreateCell(50, 50)->Clear();
    EXPECT_FALSE(book->Modified());
}

TEST(SpreadSheetChangeProcessing, NothingFiresWhileLoading)
{
    auto book = MakeBook();
    int events = 0;
    book->OnDataChanged = [&] { ++events; };
    book->OnModifiedChanged = [&] { ++events; };
    book->SetModified(false);
    events = 0;
    book->SetState(sssReading, true);
    Type(*book, 0, 0, "1");
    EXPECT_EQ(events, 0);
    book->SetState(sssReading, false);
    EXPECT_FALSE(book->Modified());
}

} // namespace
} // namespace quorvel
