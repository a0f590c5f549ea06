// Cost of the shared style cache: interning strings and styles the way file readers and cells use it.
#include "BenchSupport.h"

#include "model/SpreadSheet.h"
#include "model/SpreadSheetCell.h"
#include "model/SpreadSheetCoreStyles.h"
#include "model/SpreadSheetStyles.h"
#include "model/SpreadSheetTableView.h"
#include "platform/LocaleData.h"

#include <vector>

namespace quorvel {
namespace {

constexpr int kCellCount = 1000000;

// 1,000,000 strings of which 10% are distinct, each kept by a "cell" reference.
void BM_InternSharedStrings(benchmark::State& state)
{
    std::vector<QString> texts;
    texts.reserve(kCellCount);
    for (int i = 0; i < kCellCount; ++i)
        texts.push_back(QStringLiteral("Item %1").arg(i % (kCellCount / 10)));
    std::vector<SpreadSheetSharedString*> cells(kCellCount);
    int unique = 0;
    for (auto _ : state) {
        SpreadSheetFonts fonts;
        SpreadSheetSharedStringTable strings(fonts);
        for (int i = 0; i < kCellCount; ++i) {
            SpreadSheetSharedString* string = strings.Add(texts[static_cast<std::size_t>(i)]);
            string->AddRef();
            cells[static_cast<std::size_t>(i)] = string;
        }
        unique = strings.GetUniqueCount();
        state.PauseTiming();
        for (SpreadSheetSharedString* string : cells)
            string->Release();
        state.ResumeTiming();
    }
    state.counters["strings"] = kCellCount;
    state.counters["unique"] = unique;
    state.counters["ns_per_string"] = benchmark::Counter(
        static_cast<double>(kCellCount), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_InternSharedStrings)->Unit(benchmark::kMillisecond);

// 1,000,000 style lookups over 200 distinct styles, as a reader builds them: a fresh un-interned
// style per cell, interned and kept by a reference.
void BM_InternCellStyles(benchmark::State& state)
{
    const LocaleData locale = LocaleData::ForName(QStringLiteral("en_US"));
    std::vector<SpreadSheetCellStyleHandle*> cells(kCellCount);
    int handles = 0;
    int fonts = 0;
    for (auto _ : state) {
        SpreadSheetCellStyles styles(locale);
        std::vector<SpreadSheetFontHandle*> sizes;
        for (int size = 8; size < 28; ++size) {
            auto font = std::make_unique<SpreadSheetFontHandle>();
            font->Size = size;
            sizes.push_back(styles.Fonts().AddFont(std::move(font)));
        }
        for (int i = 0; i < kCellCount; ++i) {
            const int kind = i % 200;
            auto style = styles.CreateStyle(sizes[static_cast<std::size_t>(kind % 20)]);
            style->AlignHorz = static_cast<SpreadSheetDataAlignHorz>(kind / 20 % 7);
            style->States = kind / 20 >= 7 ? csLocked | csWordWrap : csLocked;
            SpreadSheetCellStyleHandle* handle = styles.AddStyle(std::move(style));
            handle->AddRef();
            cells[static_cast<std::size_t>(i)] = handle;
        }
        handles = styles.Count();
        fonts = styles.Fonts().Count();
        state.PauseTiming();
        for (SpreadSheetCellStyleHandle* handle : cells)
            handle->Release();
        state.ResumeTiming();
    }
    state.counters["lookups"] = kCellCount;
    state.counters["style_handles"] = handles;
    state.counters["font_handles"] = fonts;
    state.counters["bytes_per_cell_ref"] = sizeof(SpreadSheetCellStyleHandle*);
    state.counters["bytes_per_style_handle"] = sizeof(SpreadSheetCellStyleHandle);
    state.counters["ns_per_lookup"] = benchmark::Counter(
        static_cast<double>(kCellCount), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_InternCellStyles)->Unit(benchmark::kMillisecond);

// 1,000,000 numeric cells each given one of 200 distinct styles (20 font sizes x 10 alignments)
// through the cell's editable style, two attributes in one update per cell, the way a formatting
// command edits a selection. Counts the style handles alive afterwards (the 200 plus the default)
// and what styling adds to the heap per cell.
void BM_StyleCellsThroughCellStyle(benchmark::State& state)
{
    constexpr int kRows = 100000;
    constexpr int kColumns = 10;
    int handles = 0;
    double bytesPerCell = 0;
    double styleBytesPerCell = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto book = std::make_unique<SpreadSheet>(QStringLiteral("en_US"));
        SpreadSheetTableView* sheet = book->ActiveSheet();
        const std::size_t empty = bench::HeapInUse();
        book->BeginUpdate();
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c)
                sheet->CreateCell(r, c)->SetAsFloat(r + c);
        book->EndUpdate();
        const std::size_t unstyled = bench::HeapInUse();
        state.ResumeTiming();

        book->BeginUpdate();
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                const int kind = (r * kColumns + c) % 200;
                auto style = sheet->GetCell(r, c)->Style();
                style->BeginUpdate();
                style->Font().SetSize(12 + kind % 20); // none of them the default 11
                style->SetAlignHorz(static_cast<SpreadSheetDataAlignHorz>(kind / 20 % 7));
                style->SetWordWrap(kind / 20 >= 7);
                style->EndUpdate();
            }
        }
        book->EndUpdate();

        state.PauseTiming();
        handles = book->CellStyles().Count();
        const std::size_t styled = bench::HeapInUse();
        bytesPerCell = static_cast<double>(styled - empty) / (kRows * kColumns);
        styleBytesPerCell = (static_cast<double>(styled) - static_cast<double>(unstyled)) / (kRows * kColumns);
        book.reset();
        state.ResumeTiming();
    }
    state.counters["cells"] = kRows * kColumns;
    state.counters["style_handles"] = handles;
    state.counters["bytes_per_styled_cell"] = bytesPerCell;
    state.counters["style_bytes_per_cell"] = styleBytesPerCell;
    state.counters["ns_per_cell"] = benchmark::Counter(static_cast<double>(kRows) * kColumns,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_StyleCellsThroughCellStyle)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quorvel

QUORVEL_BENCHMARK_MAIN()
