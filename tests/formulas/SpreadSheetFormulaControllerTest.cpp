#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaAsTextInfo.h"
#include "formulas/SpreadSheetFormulaController.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetTableView.h"
#include "../model/SpreadSheetTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace quorvel {
namespace {

using test::MakeBook;

// A workbook with helpers that type into and read cells by reference, and count the
// circular-reference warnings it gives.
class Workbook {
public:
    explicit Workbook(bool history = false)
        : book(MakeBook())
    {
        book->SetHistoryEnabled(history);
        book->OnCircularReferences = [this] { ++warnings; };
    }
    SpreadSheetTableView& Sheet() const { return *book->ActiveSheet(); }
    void Set(const char* ref, const char* text) { Sheet().CreateCell(QString::fromLatin1(ref))->SetText(QString::fromUtf8(text), true); }
    // Several cells typed as one batch (as a paste is).
    void SetAll(std::initializer_list<std::pair<const char*, const char*>> items)
    {
        book->BeginUpdate();
        for (const auto& [ref, text] : items)
            Set(ref, text);
        book->EndUpdate();
    }
    QString Show(const char* ref) const
    {
        int row = 0;
        int column = 0;
        ParseCellReference(QString::fromLatin1(ref), false, row, column);
        const SpreadSheetCell* cell = Sheet().GetCell(row, column);
        return cell ? cell->AsString() : QString();
    }
    SpreadSheetFormulaController& Formulas() const { return book->FormulaController(); }

    std::unique_ptr<SpreadSheet> book;
    int warnings = 0;
};

SpreadSheetArea Area(const char* text) { return ParseAreaReference(QString::fromLatin1(text), false); }

TEST(SpreadSheetFormulaController, DependantsFollowEveryEditInOnePass)
{
    Workbook w;
    w.SetAll({ { "C1", "=B1*2" }, { "B1", "=A1+1" }, { "A1", "5" } });
    EXPECT_EQ(w.Show("C1"), u"12");
    w.Set("A1", "10");
    EXPECT_EQ(w.Show("B1"), u"11");
    EXPECT_EQ(w.Show("C1"), u"22");
    w.Set("B1", "");
    EXPECT_EQ(w.Show("C1"), u"0");
    EXPECT_EQ(w.Formulas().Count(), 1);
}

TEST(SpreadSheetFormulaController, SelfReferenceIsZeroAndWarnsOncePerAppearance)
{
    Workbook w;
    w.Set("A1", "=A1+1");
    EXPECT_EQ(w.Show("A1"), u"0");
    EXPECT_EQ(w.warnings, 1);
    EXPECT_EQ(w.Formulas().CircularReferencePathCount(), 1);
    w.Set("B5", "7"); // the cycle persists: no second warning
    EXPECT_EQ(w.warnings, 1);
    w.Set("A1", "3"); // gone
    EXPECT_EQ(w.Formulas().CircularReferencePathCount(), 0);
    w.Set("A1", "=A1*2"); // back again: warned again
    EXPECT_EQ(w.warnings, 2);
}

TEST(SpreadSheetFormulaController, TwoCellCycleAndItsReadersYieldZeroWithThePathListed)
{
    Workbook w;
    w.SetAll({ { "A1", "=B1+1" }, { "B1", "=A1+1" }, { "C1", "=A1*2+5" }, { "D1", "=4" } });
    EXPECT_EQ(w.Show("A1"), u"0");
    EXPECT_EQ(w.Show("B1"), u"0");
    EXPECT_EQ(w.Show("C1"), u"0");
    EXPECT_EQ(w.Show("D1"), u"4");
    EXPECT_EQ(w.warnings, 1);
    // The cycle from where the pass met it, and the reader that ran into it.
    EXPECT_EQ(w.Formulas().GetCircularReferencePathsAsString(),
        u"The Sheet1!A1 -> Sheet1!B1\r\nThe Sheet1!C1 -> Sheet1!A1");
}

TEST(SpreadSheetFormulaController, IterativeCalculationBoundsReentry)
{
    struct Case {
        int maxCount;
        const char* expected;
        int warnings;
    };
    // A count of 0 behaves as iterative calculation off.
    for (const Case& c : { Case { 0, "0", 1 }, Case { 1, "1", 0 }, Case { 100, "100", 0 } }) {
        Workbook w;
        w.book->OptionsBehavior().IterativeCalculation = true;
        w.book->SetIterativeCalculationMaxCount(c.maxCount);
        w.Set("A1", "=A1+1");
        EXPECT_EQ(w.Show("A1"), QString::fromLatin1(c.expected)) << c.maxCount;
        EXPECT_EQ(w.warnings, c.warnings) << c.maxCount;
    }
}

TEST(SpreadSheetFormulaController, IterationCountsAreClampedAndDeepIterationStaysOffTheStack)
{
    Workbook w;
    w.book->OptionsBehavior().IterativeCalculation = true;
    w.book->SetIterativeCalculationMaxCount(1000000);
    EXPECT_EQ(w.book->OptionsBehavior().IterativeCalculationMaxCount, kMaxIterationCount);
    // Re-entry stops at the evaluation depth bound long before the native stack runs out.
    w.Set("A1", "=A1+1");
    EXPECT_EQ(w.Show("A1").toInt(), kMaxEvaluationDepth);
    EXPECT_EQ(w.warnings, 0);
}

TEST(SpreadSheetFormulaController, LongChainsEvaluateInAnyListOrderWithoutDeepRecursion)
{
    // 20,000 formulas each reading the one below, attached top-down (the worst order: the first
    // formula of the list needs all others first).
    constexpr int kLength = 20000;
    for (const bool topDown : { true, false }) {
        Workbook w;
        w.book->BeginUpdate();
        for (int i = 0; i < kLength; ++i) {
            const int row = topDown ? i : kLength - 1 - i;
            SpreadSheetCell* cell = w.Sheet().CreateCell(row, 0);
            cell->SetText(row == kLength - 1 ? QStringLiteral("1") : QStringLiteral("=A%1+1").arg(row + 2), true);
        }
        w.book->EndUpdate();
        EXPECT_EQ(w.Show("A1"), QString::number(kLength)) << topDown;
        EXPECT_EQ(w.warnings, 0);
    }
}

TEST(SpreadSheetFormulaController, CycleLongerThanTheDepthBoundIsStillACycle)
{
    Workbook w;
    const int length = kMaxEvaluationDepth * 3;
    w.book->BeginUpdate();
    for (int row = 0; row < length; ++row)
        w.Sheet().CreateCell(row, 0)->SetText(QStringLiteral("=A%1+1").arg((row + 1) % length + 1), true);
    w.book->EndUpdate();
    EXPECT_EQ(w.Show("A1"), u"0");
    EXPECT_EQ(w.Show("A700"), u"0");
    EXPECT_EQ(w.warnings, 1);
}

TEST(SpreadSheetFormulaController, ManualCalculationWaitsForCalculate)
{
    Workbook w;
    w.book->OptionsBehavior().AutomaticCalculation = false;
    w.Set("A1", "2");
    w.Set("B1", "=A1*10");
    EXPECT_EQ(w.Show("B1"), u"20"); // a typed formula shows its value at once
    w.Set("A1", "3");
    EXPECT_EQ(w.Show("B1"), u"20");
    w.book->Calculate();
    EXPECT_EQ(w.Show("B1"), u"30");
}

TEST(SpreadSheetFormulaController, ArrayFormulaFillsItsAreaWithNAPastASmallerResult)
{
    Workbook w;
    w.Sheet().SetArrayFormula(Area("A1:C2"), QStringLiteral("={1,2}"));
    const char* expected[2][3] = { { "1", "2", "#N/A" }, { "1", "2", "#N/A" } };
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(w.Sheet().GetCell(row, column)->AsString(), QString::fromLatin1(expected[row][column]))
                << row << column;
    EXPECT_EQ(w.Formulas().FindArrayFormula(&w.Sheet(), 0, 0), 1);
    EXPECT_EQ(w.Formulas().FindArrayFormula(&w.Sheet(), 1, 2), 2);
    EXPECT_EQ(w.Formulas().FindArrayFormula(&w.Sheet(), 2, 2), 0);
}

TEST(SpreadSheetFormulaController, FailingArrayFormulaWritesItsErrorEverywhere)
{
    Workbook w;
    w.Sheet().SetArrayFormula(Area("B2:C3"), QStringLiteral("=1/0"));
    for (const char* ref : { "B2", "C2", "B3", "C3" })
        EXPECT_EQ(w.Show(ref), u"#DIV/0!") << ref;
}

TEST(SpreadSheetFormulaController, ArrayItemsAreReadByOtherFormulas)
{
    Workbook w;
    w.Sheet().SetArrayFormula(Area("A1:A3"), QStringLiteral("={10;20;30}"));
    w.Set("B1", "=A2+A3");
    EXPECT_EQ(w.Show("B1"), u"50");
}

TEST(SpreadSheetFormulaController, ArrayFormulaReadingItsOwnAreaIsACycle)
{
    Workbook w;
    w.Sheet().SetArrayFormula(Area("A1:A3"), QStringLiteral("=A1:A3*2"));
    for (const char* ref : { "A1", "A2", "A3" })
        EXPECT_EQ(w.Show(ref), u"0") << ref;
    EXPECT_EQ(w.warnings, 1);
}

TEST(SpreadSheetFormulaController, PartOfAnArrayCannotBeChanged)
{
    Workbook w;
    w.Sheet().SetArrayFormula(Area("B3:B5"), QStringLiteral("=1"));
    EXPECT_THROW(w.Sheet().SetArrayFormula(Area("B2:C3"), QStringLiteral("=2")), ESpreadSheetCannotChangePartOfArrayError);
    EXPECT_THROW(w.Set("B4", "9"), ESpreadSheetCannotChangePartOfArrayError);
    EXPECT_EQ(w.Show("B4"), u"1");
    w.Sheet().SetArrayFormula(Area("B2:B6"), QStringLiteral("=2"));
    for (const char* ref : { "B2", "B3", "B4", "B5", "B6" })
        EXPECT_EQ(w.Show(ref), u"2") << ref;
    // A single cell in array mode re-enters the array formula it is the anchor of.
    w.Sheet().SetArrayFormula(Area("B2"), QStringLiteral("=3"));
    EXPECT_EQ(w.Show("B6"), u"3");
}

TEST(SpreadSheetFormulaController, FormulaInsideAForeignArrayIsRemovedAtTheNextPass)
{
    Workbook w;
    w.Sheet().SetArrayFormula(Area("A1:A3"), QStringLiteral("={1;2;3}"));
    // Files and the history write values without the typing check.
    SpreadSheetCellValue formula;
    formula.type = cdtFormula;
    formula.text = QStringLiteral("=100");
    w.Sheet().GetCell(1, 0)->SetValue(formula);
    w.book->Calculate();
    EXPECT_FALSE(w.Sheet().GetCell(1, 0)->IsFormula());
    EXPECT_EQ(w.Show("A2"), u"2");
}

TEST(SpreadSheetFormulaController, UndoRestoresFormulasAndTheirResults)
{
    Workbook w(true);
    w.Set("A1", "4");
    w.Set("B1", "=A1*A1");
    w.Set("C1", "x"); // typing the same cell twice in a row joins into one step
    w.Set("B1", "=A1+1");
    EXPECT_EQ(w.Show("B1"), u"5");
    w.book->History().Undo();
    EXPECT_EQ(w.Show("B1"), u"16");
    ASSERT_TRUE(w.Sheet().GetCell(0, 1)->IsFormula());
    EXPECT_EQ(w.Sheet().GetCell(0, 1)->AsFormula()->AsText(), u"=A1*A1");
    w.book->History().Redo();
    EXPECT_EQ(w.Show("B1"), u"5");
}

TEST(SpreadSheetFormulaController, ArrayFormulasUndoAndRedoAsArrays)
{
    Workbook w(true);
    w.Sheet().SetArrayFormula(Area("A1:B2"), QStringLiteral("={1,2;3,4}"));
    w.Set("D1", "=SUM(A1:B2)");
    EXPECT_EQ(w.Show("D1"), u"10");
    w.book->History().Undo();
    w.book->History().Undo();
    EXPECT_EQ(w.Show("B2"), u"");
    EXPECT_EQ(w.Formulas().FindArrayFormula(&w.Sheet(), 0, 0), 0);
    w.book->History().Redo();
    EXPECT_EQ(w.Show("B2"), u"4");
    EXPECT_EQ(w.Formulas().FindArrayFormula(&w.Sheet(), 1, 1), 2);
    EXPECT_THROW(w.Set("B1", "7"), ESpreadSheetCannotChangePartOfArrayError);
}

TEST(SpreadSheetFormulaController, CircularWarningWaitsForTheEndOfTheBatch)
{
    Workbook w;
    int warningsInside = -1;
    w.book->BeginUpdate();
    w.Set("A1", "=B1");
    w.Set("B1", "=A1");
    warningsInside = w.warnings;
    w.book->EndUpdate();
    EXPECT_EQ(warningsInside, 0);
    EXPECT_EQ(w.warnings, 1);
}

TEST(SpreadSheetFormulaController, FormulasFromFilesResolveOnceTheWorkbookIsComplete)
{
    Workbook w;
    SpreadSheetTableView& data = *w.book->AddSheet(QStringLiteral("Data"));
    data.CreateCell(0, 0)->SetAsInteger(5);
    data.CreateCell(1, 0)->SetAsInteger(7);
    SpreadSheetFormulaAsTextInfoList list;
    // Written before the sheet it names exists in the reader's order of things.
    list.Add(w.Sheet().CreateCell(0, 1), QStringLiteral("=Data!A1*2"));
    // A formula written for B1 and copied to B2 reads its neighbourhood from B2.
    SpreadSheetFormulaAsTextInfo& shared = list.Add(w.Sheet().CreateCell(1, 1), QStringLiteral("=Data!A1*2"));
    shared.AnchorRow = 0;
    shared.IsShared = true;
    SpreadSheetFormulaAsTextInfo& array = list.Add(w.Sheet().CreateCell(0, 3), QStringLiteral("={1,2,3}"));
    array.IsArray = true;
    array.Reference = Area("D1:F1");
    list.ResolveReferences(*w.book);
    EXPECT_EQ(w.Show("B1"), u"10");
    EXPECT_EQ(w.Show("B2"), u"14");
    EXPECT_EQ(w.Sheet().GetCell(1, 1)->AsFormula()->AsText(), u"=Data!A2*2");
    EXPECT_EQ(w.Show("F1"), u"3");
    EXPECT_EQ(w.Formulas().FindArrayFormula(&w.Sheet(), 0, 4), 2);

    SpreadSheetFormulaAsTextInfoList broken;
    broken.Add(w.Sheet().CreateCell(5, 0), QStringLiteral("=SUM(1"));
    EXPECT_THROW(broken.ResolveReferences(*w.book), ESpreadSheetError);
    EXPECT_FALSE(w.Sheet().GetCell(5, 0)->IsFormula());
}

// What a structural edit does around the formula update: it asks the controller to adjust the
// references, then moves the cells of the shifted block (deleting the band first).
void ShiftCells(SpreadSheet& book, SpreadSheetTableView& sheet, const char* areaText,
    SpreadSheetFormulaUpdateReferencesMode mode, bool vertical)
{
    const SpreadSheetArea area = Area(areaText);
    const int first = vertical ? area.top : area.left;
    const int count = vertical ? area.bottom - area.top + 1 : area.right - area.left + 1;
    const auto along = [&](const SpreadSheetCell* cell) { return vertical ? cell->RowIndex() : cell->ColumnIndex(); };
    const auto across = [&](const SpreadSheetCell* cell) { return vertical ? cell->ColumnIndex() : cell->RowIndex(); };
    const int spanFirst = vertical ? area.left : area.top;
    const int spanLast = vertical ? area.right : area.bottom;
    book.BeginUpdate();
    book.FormulaController().UpdateReferences(&sheet, area, mode, vertical);
    std::vector<SpreadSheetCell*> moving;
    std::vector<SpreadSheetCell*> deleted;
    sheet.ForEachCell([&](SpreadSheetCell* cell) {
        if (across(cell) < spanFirst || across(cell) > spanLast || along(cell) < first)
            return;
        (mode == urmDelete && along(cell) < first + count ? deleted : moving).push_back(cell);
    });
    for (SpreadSheetCell* cell : deleted)
        sheet.DeleteCell(cell);
    // Inserting moves the farthest cells first, deleting the nearest, so that no target is taken.
    if (mode == urmInsert)
        std::reverse(moving.begin(), moving.end());
    for (SpreadSheetCell* cell : moving) {
        const int delta = mode == urmInsert ? count : -count;
        if (vertical)
            cell->MoveTo(cell->RowIndex() + delta, cell->ColumnIndex());
        else
            cell->MoveTo(cell->RowIndex(), cell->ColumnIndex() + delta);
    }
    book.EndUpdate();
}

TEST(SpreadSheetFormulaController, StructuralEditsMoveReferences)
{
    struct Case {
        const char* cell;
        const char* formula;
        const char* area;
        SpreadSheetFormulaUpdateReferencesMode mode;
        bool vertical;
        const char* movedTo;
        const char* expected;
    };
    const Case cases[] = {
        // Two rows inserted before row 4.
        { "A10", "=A1+A5+SUM(A3:A6)+$A$5", "A4:XFD5", urmInsert, true, "A12", "=A1+A7+SUM(A3:A8)+$A$7" },
        // Rows 4 and 5 deleted: a reference into them is lost, a range shrinks.
        { "A10", "=A1+A4+SUM(A3:A6)+A9", "A4:XFD5", urmDelete, true, "A8", "=A1+#REF!+SUM(A3:A4)+A7" },
        { "A10", "=SUM(A4:A5)", "A4:XFD5", urmDelete, true, "A8", "=SUM(#REF!)" },
        // A column inserted before B.
        { "D1", "=A1+B1+C1", "B1:B1048576", urmInsert, false, "E1", "=A1+C1+D1" },
        // Cells B2:B3 inserted, shifting column B down: only references inside the block move.
        { "D5", "=B4+C4+B1+SUM(B2:C2)", "B2:B3", urmInsert, true, "D5", "=B6+C4+B1+SUM(B2:C2)" },
        // The formula's own cell moves; a relative reference outside the block keeps its target.
        { "B4", "=C1+B2", "B2:B3", urmInsert, true, "B6", "=C1+B4" },
    };
    for (const Case& c : cases) {
        Workbook w;
        w.Set(c.cell, c.formula);
        ShiftCells(*w.book, w.Sheet(), c.area, c.mode, c.vertical);
        int row = 0;
        int column = 0;
        ParseCellReference(QString::fromLatin1(c.movedTo), false, row, column);
        const SpreadSheetCell* cell = w.Sheet().GetCell(row, column);
        ASSERT_TRUE(cell && cell->IsFormula()) << c.formula;
        EXPECT_EQ(cell->AsFormula()->AsText(), QString::fromLatin1(c.expected)) << c.formula;
    }
}

TEST(SpreadSheetFormulaController, StructuralEditsReachOtherSheetsAndUndo)
{
    Workbook w(true);
    SpreadSheetTableView& other = *w.book->AddSheet(QStringLiteral("Other"));
    other.CreateCell(0, 0)->SetText(QStringLiteral("=Sheet1!A5*2"), true);
    w.Set("A5", "21");
    w.Set("A10", "=Other!A1+A5");
    w.Set("A1", "=A10");
    EXPECT_EQ(w.Show("A1"), u"63");

    w.book->History().BeginAction(SpreadSheetHistoryActionKind::ClearCells);
    ShiftCells(*w.book, w.Sheet(), "A2:XFD3", urmDelete, true);
    w.book->History().EndAction();
    EXPECT_EQ(other.GetCell(0, 0)->AsFormula()->AsText(), u"=Sheet1!A3*2");
    EXPECT_EQ(w.Sheet().GetCell(7, 0)->AsFormula()->AsText(), u"=Other!A1+A3");
    EXPECT_EQ(w.Sheet().GetCell(0, 0)->AsFormula()->AsText(), u"=A8");
    EXPECT_EQ(w.Show("A1"), u"63");

    // Undo gives the formulas their texts back (moving the cells back is the edit's own part).
    w.book->History().Undo();
    EXPECT_EQ(other.GetCell(0, 0)->AsFormula()->AsText(), u"=Sheet1!A5*2");
    EXPECT_EQ(w.Sheet().GetCell(0, 0)->AsFormula()->AsText(), u"=A10");
}

TEST(SpreadSheetFormulaController, EvaluateExpressionReadsTheSheet)
{
    Workbook w;
    w.Set("A1", "6");
    w.Set("A2", "=A1*7");
    EXPECT_EQ(w.book->EvaluateExpression(QStringLiteral("=A2-2")).AsDouble(), 40);
    EXPECT_TRUE(w.book->EvaluateExpression(QStringLiteral("=1+")).IsEmpty());
    EXPECT_TRUE(w.book->EvaluateExpression(QStringLiteral("text")).IsEmpty());
}

} // namespace
} // namespace quorvel
