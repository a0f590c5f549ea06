// Listing the references of a formula as it is typed: the in-place editor does it on every
// keystroke, so one keystroke must cost far less than a frame.
#include "BenchSupport.h"
#include "formulas/SpreadSheetFormulaReferences.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetTableView.h"

#include <memory>
#include <vector>

namespace quorvel {
namespace {

// Every text the editor holds while `formula` is typed one character at a time.
std::vector<QString> Keystrokes(const QString& formula)
{
    std::vector<QString> texts;
    for (qsizetype length = 1; length <= formula.size(); ++length)
        texts.push_back(formula.left(length));
    return texts;
}

void BM_TypeFormula(benchmark::State& state, const char* formula)
{
    auto book = std::make_unique<SpreadSheet>(QStringLiteral("en_US"));
    book->AddSheet(QStringLiteral("Query"));
    SpreadSheetTableView& sheet = *book->Sheets(0);
    const std::vector<QString> texts = Keystrokes(QString::fromUtf8(formula));
    SpreadSheetFormulaReferences references;
    for (auto _ : state) {
        for (const QString& text : texts) {
            references.Initialize(sheet, 86, 5, text);
            benchmark::DoNotOptimize(references.Count());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
    state.counters["keystrokes_per_second"]
        = benchmark::Counter(static_cast<double>(texts.size()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK_CAPTURE(BM_TypeFormula, ShortSum, "=SUM(A1:B2,C3)*2");
BENCHMARK_CAPTURE(BM_TypeFormula, NestedLookup,
    R"(=IF(ISNA(VLOOKUP(ROW($A87)-7,Query!$A:$N,7,FALSE))," ",VLOOKUP(ROW($A87)-7,Query!$A:$N,7,FALSE)/F87))");
BENCHMARK_CAPTURE(BM_TypeFormula, FortyCells,
    "=A1+B1+C1+D1+E1+F1+G1+H1+I1+J1+A2+B2+C2+D2+E2+F2+G2+H2+I2+J2+A3+B3+C3+D3+E3+F3+G3+H3+I3+J3+A4+B4+C4+D4+E4+F4+G4+"
    "H4+I4+J4");

} // namespace
} // namespace quorvel

QUORVEL_BENCHMARK_MAIN()
