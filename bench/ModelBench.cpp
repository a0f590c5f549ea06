// Memory and time of the cell storage: fill and walk 1,000,000 numeric cells.
#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetTableItems.h"
#include "model/SpreadSheetTableView.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

using namespace quorvel;

constexpr int kRows = 100000;
constexpr int kColumns = 10;

std::size_t heapInUse() { return mallinfo2().uordblks + mallinfo2().hblkhd; }

void fill(SpreadSheet& book)
{
    SpreadSheetTableView* sheet = book.ActiveSheet();
    book.BeginUpdate();
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            sheet->CreateCell(r, c)->SetAsFloat(r * 0.5 + c);
    book.EndUpdate();
}

void BM_FillNumericCells(benchmark::State& state)
{
    double bytesPerCell = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto book = std::make_unique<SpreadSheet>(QStringLiteral("en_US"));
        const std::size_t before = heapInUse();
        state.ResumeTiming();
        fill(*book);
        state.PauseTiming();
        bytesPerCell = static_cast<double>(heapInUse() - before) / (kRows * kColumns);
        book.reset();
        state.ResumeTiming();
    }
    state.counters["cells"] = kRows * kColumns;
    state.counters["bytes_per_cell"] = bytesPerCell;
}
BENCHMARK(BM_FillNumericCells)->Unit(benchmark::kMillisecond);

void BM_WalkNumericCells(benchmark::State& state)
{
    SpreadSheet book(QStringLiteral("en_US"));
    fill(book);
    SpreadSheetTableView* sheet = book.ActiveSheet();
    for (auto _ : state) {
        double sum = 0;
        for (SpreadSheetTableRow* row = sheet->Rows().First(); row; row = row->NextRow())
            for (SpreadSheetCell* cell = row->FirstCell(); cell; cell = SpreadSheetTableRow::NextCell(cell))
                sum += cell->AsFloat();
        benchmark::DoNotOptimize(sum);
    }
    state.counters["cells"] = kRows * kColumns;
}
BENCHMARK(BM_WalkNumericCells)->Unit(benchmark::kMillisecond);

// Indexed access row by row, cell by cell: the cached current item makes each lookup constant time.
void BM_IndexedSequentialAccess(benchmark::State& state)
{
    SpreadSheet book(QStringLiteral("en_US"));
    fill(book);
    const SpreadSheetTableView* sheet = book.ActiveSheet();
    for (auto _ : state) {
        double sum = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c)
                sum += sheet->GetCell(r, c)->AsFloat();
        benchmark::DoNotOptimize(sum);
    }
    state.counters["cells"] = kRows * kColumns;
}
BENCHMARK(BM_IndexedSequentialAccess)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
