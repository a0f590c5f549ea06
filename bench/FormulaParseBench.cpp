// Formula reading and printing throughput over a mix of formulas taken from real workbooks.
#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaParser.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetTableView.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace quorvel {
namespace {

// Cell formulas of the shared corpus (XLSX texts), short references to long nested calls.
const char* const kFormulas[] = {
    R"(IF(COUNTA(Timesheet!$C$3:$C$33)=0,"",SUMIF(Timesheet!$C$3:$C$33,_xlfn.ANCHORARRAY(A14),Timesheet!$E$3:$E$33)))",
    R"(L11)",
    R"('DS1'!A2)",
    R"(T(C2))",
    R"(IF(AND(ISNUMBER(F15),ISNUMBER(G15),F15>0),F15*G15,""))",
    R"(Tasks!F21)",
    R"(AVEDEV(A1:A4,A5:A6,A7))",
    R"(CODE(B1))",
    R"(IF(MOD(A2,3)=0,"fizz",""))",
    R"(CONCATENATE(A1,B2))",
    R"(SUM(1+1))",
    R"("abc"&CHAR(13)&CHAR(10)&"def")",
    R"(E8/(MAX('Expenses log'!$E$2:$E$147)-MIN('Expenses log'!$E$2:$E$147)+1))",
    R"(_xlfn.ARRAYTOTEXT(A1:B6,0))",
    R"(Tabelle2!E:F Tabelle2!11:12)",
    R"(DATE(A7,B7,C7))",
    R"('Output LBLC'!S65)",
    R"(10/(5*6)/4)",
    R"(SUM(A1:A3))",
    R"(TEXT(C42, B42))",
    R"(EDATE(DATE_CELL,INCREMENT))",
    R"(IF(ISNA(VLOOKUP(ROW($A87)-7,Query!$A:$N,7,FALSE))," ",VLOOKUP(ROW($A87)-7,Query!$A:$N,7,FALSE)/F87))",
    R"(A1:B1 D1:D9)",
    R"(A2+A1)",
    R"(AND(Z99, TRUE))",
    R"(AVERAGE("a","b"))",
    R"(ACCRINT(DATE(2007,3,1), DATE(2008,8,31), DATE(2008,5,1), 0.1, 1000, 2, 0, FALSE))",
    R"(TAN(10*PI()/180))",
    R"(IF(ISNA(VLOOKUP(ROW($A311)-7,Query!$A:$N,5,FALSE))," ",VLOOKUP(ROW($A311)-7,Query!$A:$N,5,FALSE)))",
    R"(B1+C1+D1)",
    R"(ROW())",
    R"(SUM(6:7))",
    R"((3.5+2.3)/(23*7+2/3/4)/(1/2/3/4+2.7*5)/4*5/(4+5*2))",
    R"(COUNTA(Sheet1:Sheet3!D1))",
    R"((8880-5200)*12)",
    R"(INT(H4/10))",
    R"("BACH 341.286 Verlängerung 5m ws 3x1,5qmm H05VV-F")",
    R"(B27-1.2)",
    R"(ADDRESS(1,1))",
    R"(NA())",
    R"(C9/C23)",
    R"(A1>A2)",
    R"(TODAY())",
    R"(SUM(E:F))",
    R"(VAR(B30:B39))",
    R"(B$1)",
    R"(_xlfn.FORMULATEXT($A11))",
    R"(FALSE())",
    R"(_xlfn.UNIQUE(_xlfn._xlws.FILTER(Timesheet!C3:C33,Timesheet!C3:C33<>"","No entries yet")))",
    R"($A$1+3*$A$2)",
    R"(-PI()/2)",
    R"(IF(Defines!$B$2 = 142, Defines!B2, -1))",
    R"(SUMPRODUCT((Tasks!$D$4:$D$200="Done")*(Tasks!$F$4:$F$200)))",
    R"(IFERROR(INDEX(Query!$B:$B,MATCH($A5,Query!$A:$A,0)),"-"))",
    R"(ROUND(SUM(C5:C20)*1.19%,2))",
    R"({1,2,3;4,5,6})",
    R"(STDEV.S(A1:A10)/SQRT(COUNT(A1:A10)))",
    R"(NETWORKDAYS(B4,C4)-1)",
    R"(TEXT(A1,"dd.mm.yyyy")&" - "&TEXT(B1,"dd.mm.yyyy"))",
    R"(OR(A1="",B1<0,C1>=100))",
};

constexpr auto kFormulaCount = static_cast<std::int64_t>(std::size(kFormulas));

struct Workload {
    Workload()
    {
        book->Sheets(0)->SetCaption(QStringLiteral("Sheet1"));
        for (const char* name : { "Timesheet", "Tasks", "Query", "Expenses log", "Output LBLC", "Tabelle2", "Defines" })
            book->AddSheet(QString::fromUtf8(name));
        for (const char* formula : kFormulas)
            texts.push_back(u'=' + QString::fromUtf8(formula));
    }

    std::unique_ptr<SpreadSheet> book = std::make_unique<SpreadSheet>(QStringLiteral("en_US"));
    std::vector<QString> texts;
};

void ReportFormulaRate(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * kFormulaCount);
    state.counters["formulas_per_second"]
        = benchmark::Counter(static_cast<double>(kFormulaCount), benchmark::Counter::kIsIterationInvariantRate);
}

// Reading every formula of the mix; `reuseParser` false makes a parser per formula, as a typed
// cell formula is read, true keeps one as a file reader does.
void BM_ParseFormulas(benchmark::State& state, bool reuseParser)
{
    Workload workload;
    SpreadSheetFormulaParser sharedParser(workload.book.get());
    SpreadSheetExpressionFormula formula(nullptr, workload.book->Sheets(0), 10, 3);
    for (auto _ : state) {
        for (const QString& text : workload.texts) {
            if (reuseParser)
                sharedParser.ParseFormula(text, formula);
            else
                SpreadSheetFormulaParser(workload.book.get()).ParseFormula(text, formula);
            benchmark::DoNotOptimize(formula.Tokens());
        }
    }
    ReportFormulaRate(state);
}
BENCHMARK_CAPTURE(BM_ParseFormulas, OneParser, true);
BENCHMARK_CAPTURE(BM_ParseFormulas, ParserPerFormula, false);

// The text of parsed formulas, as a writer or the formula bar asks for it.
void BM_PrintFormulas(benchmark::State& state)
{
    Workload workload;
    SpreadSheetFormulaParser parser(workload.book.get());
    std::vector<std::unique_ptr<SpreadSheetExpressionFormula>> formulas;
    for (const QString& text : workload.texts) {
        formulas.push_back(std::make_unique<SpreadSheetExpressionFormula>(nullptr, workload.book->Sheets(0), 10, 3));
        parser.ParseFormula(text, *formulas.back());
    }
    for (auto _ : state) {
        for (const auto& formula : formulas)
            benchmark::DoNotOptimize(formula->AsText());
    }
    ReportFormulaRate(state);
}
BENCHMARK(BM_PrintFormulas);

} // namespace
} // namespace quorvel

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
