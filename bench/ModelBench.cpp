// Memory and time of the cell storage: fill and walk 1,000,000 numeric cells.
#include "BenchSupport.h"

#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetHistory.h"
#include "model/SpreadSheetTableItems.h"
#include "model/SpreadSheetTableView.h"

#include <chrono>

namespace {

using namespace quorvel;

constexpr int kRows = 100000;
constexpr int kColumns = 10;

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
        const std::size_t before = bench::HeapInUse();
        state.ResumeTiming();
        fill(*book);
        state.PauseTiming();
        bytesPerCell = static_cast<double>(bench::HeapInUse() - before) / (kRows * kColumns);
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

// One action that types values into 100,000 new cells, then its undo: the time of each, the memory
// the history holds for the step, and what stays on the heap after undo (the redo step plus the
// cell pool's blocks, which the sheet keeps for reuse).
void BM_RecordAndUndoOneAction(benchmark::State& state)
{
    constexpr int kEditRows = 10000;
    constexpr int kEditCells = kEditRows * kColumns;
    using Clock = std::chrono::steady_clock;
    double recordMs = 0;
    double undoMs = 0;
    double undoStepBytes = 0;
    double afterUndoBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto book = std::make_unique<SpreadSheet>(QStringLiteral("en_US"));
        book->SetHistoryEnabled(true);
        SpreadSheetTableView* sheet = book->ActiveSheet();
        SpreadSheetHistory& history = book->History();
        const std::size_t before = bench::HeapInUse();
        state.ResumeTiming();

        const Clock::time_point start = Clock::now();
        history.BeginAction(SpreadSheetHistoryActionKind::PasteCells);
        book->BeginUpdate();
        for (int r = 0; r < kEditRows; ++r)
            for (int c = 0; c < kColumns; ++c)
                sheet->CreateCell(r, c)->SetText(QString::number(r * 0.25 + c));
        book->EndUpdate();
        history.EndAction();
        const Clock::time_point recorded = Clock::now();
        history.Undo();
        const Clock::time_point undone = Clock::now();

        state.PauseTiming();
        recordMs = std::chrono::duration<double, std::milli>(recorded - start).count();
        undoMs = std::chrono::duration<double, std::milli>(undone - recorded).count();
        afterUndoBytes = static_cast<double>(bench::HeapInUse() - before) / kEditCells;
        history.Redo();
        const std::size_t withHistory = bench::HeapInUse();
        history.Clear();
        undoStepBytes = static_cast<double>(withHistory - bench::HeapInUse()) / kEditCells;
        book.reset();
        state.ResumeTiming();
    }
    state.counters["cells"] = kEditCells;
    state.counters["record_ms"] = recordMs;
    state.counters["undo_ms"] = undoMs;
    state.counters["undo_step_bytes_per_cell"] = undoStepBytes;
    state.counters["after_undo_bytes_per_cell"] = afterUndoBytes;
}
BENCHMARK(BM_RecordAndUndoOneAction)->Unit(benchmark::kMillisecond);

// The same typing without history, as the baseline of the recording cost.
void BM_TypeWithoutHistory(benchmark::State& state)
{
    constexpr int kEditRows = 10000;
    for (auto _ : state) {
        state.PauseTiming();
        auto book = std::make_unique<SpreadSheet>(QStringLiteral("en_US"));
        SpreadSheetTableView* sheet = book->ActiveSheet();
        state.ResumeTiming();
        book->BeginUpdate();
        for (int r = 0; r < kEditRows; ++r)
            for (int c = 0; c < kColumns; ++c)
                sheet->CreateCell(r, c)->SetText(QString::number(r * 0.25 + c));
        book->EndUpdate();
        state.PauseTiming();
        book.reset();
        state.ResumeTiming();
    }
    state.counters["cells"] = kEditRows * kColumns;
}
BENCHMARK(BM_TypeWithoutHistory)->Unit(benchmark::kMillisecond);

} // namespace

QUORVEL_BENCHMARK_MAIN()
