// Recalculation: one complete pass over workbooks of many formulas, and the time from typing one
// value to the end of its recalculation. Every data change recalculates every formula once.
#include "formulas/SpreadSheetFormulaController.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetTableView.h"

#include "BenchSupport.h"

namespace {

using namespace quorvel;
using bench::HeapInUse;

// Rows of values in A:C and =A<n>*B<n>+C<n> in D.
void independentFormulas(SpreadSheet& book, int count)
{
    SpreadSheetTableView& sheet = *book.ActiveSheet();
    for (int r = 0; r < count; ++r) {
        sheet.CreateCell(r, 0)->SetAsFloat(r);
        sheet.CreateCell(r, 1)->SetAsFloat(2);
        sheet.CreateCell(r, 2)->SetAsFloat(1);
        sheet.CreateCell(r, 3)->SetText(QStringLiteral("=A%1*B%1+C%1").arg(r + 1), true);
    }
}

// A1 holds 1; each A<n> below reads the one above. Attached bottom-up when `reversed`, so that the
// first formula of the list needs every other one first.
void chain(SpreadSheet& book, int count, bool reversed)
{
    SpreadSheetTableView& sheet = *book.ActiveSheet();
    sheet.CreateCell(0, 0)->SetAsFloat(1);
    for (int i = 1; i < count; ++i) {
        const int r = reversed ? count - i : i;
        sheet.CreateCell(r, 0)->SetText(QStringLiteral("=A%1+1").arg(r), true);
    }
}

// Values in A and =SUM(A$1:A<n>) in B.
void runningTotals(SpreadSheet& book, int count)
{
    SpreadSheetTableView& sheet = *book.ActiveSheet();
    for (int r = 0; r < count; ++r) {
        sheet.CreateCell(r, 0)->SetAsFloat(r % 7);
        sheet.CreateCell(r, 1)->SetText(QStringLiteral("=SUM(A$1:A%1)").arg(r + 1), true);
    }
}

template <class Build>
void measurePass(benchmark::State& state, Build build)
{
    SpreadSheet book(QStringLiteral("en_US"));
    const std::size_t before = HeapInUse();
    book.BeginUpdate();
    build(book);
    book.EndUpdate();
    const double bytes = static_cast<double>(HeapInUse() - before);
    state.counters["formulas"] = book.FormulaController().Count();
    state.counters["MB_workbook"] = bytes / (1024.0 * 1024.0);
    // Everything the workbook holds, value cells included, shared out over its formulas.
    state.counters["bytes_per_formula"] = bytes / book.FormulaController().Count();
    for (auto _ : state)
        book.FormulaController().Calculate();
}

void BM_PassIndependentFormulas(benchmark::State& state)
{
    measurePass(state, [](SpreadSheet& book) { independentFormulas(book, 100000); });
}
BENCHMARK(BM_PassIndependentFormulas)->Unit(benchmark::kMillisecond);

void BM_PassChain(benchmark::State& state)
{
    const bool reversed = state.range(1) != 0;
    measurePass(state, [&](SpreadSheet& book) { chain(book, static_cast<int>(state.range(0)), reversed); });
}
BENCHMARK(BM_PassChain)
    ->Args({ 100000, 0 })
    ->Args({ 100000, 1 })
    ->Args({ 1000000, 1 })
    ->ArgNames({ "length", "reversed" })
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_PassRunningTotals(benchmark::State& state)
{
    measurePass(state, [](SpreadSheet& book) { runningTotals(book, 10000); });
}
BENCHMARK(BM_PassRunningTotals)->Unit(benchmark::kMillisecond);

// Typing one value into a workbook of 100,000 formulas, as the grid does: the edit and the
// recalculation that follows it.
void BM_TypeOneValue(benchmark::State& state)
{
    SpreadSheet book(QStringLiteral("en_US"));
    book.BeginUpdate();
    independentFormulas(book, 100000);
    book.EndUpdate();
    SpreadSheetCell* cell = book.ActiveSheet()->GetCell(0, 0);
    int value = 0;
    for (auto _ : state)
        cell->SetText(QString::number(++value), true);
}
BENCHMARK(BM_TypeOneValue)->Unit(benchmark::kMillisecond);

} // namespace

QUORVEL_BENCHMARK_MAIN()
