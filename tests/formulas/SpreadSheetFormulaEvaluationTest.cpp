#include "formulas/SpreadSheetFormatSettings.h"
#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaController.h"
#include "formulas/SpreadSheetFormulaParser.h"
#include "formulas/SpreadSheetFormulaResult.h"
#include "formulas/SpreadSheetFormulaTokens.h"
#include "formulas/SpreadSheetFormulaValues.h"
#include "formulas/SpreadSheetVector.h"
#include "model/SpreadSheetValueText.h"

#include "../model/SpreadSheetTestSupport.h"

#include <gtest/gtest.h>

#include <QDate>

#include <vector>

static void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace quorvel {
namespace {

// Values are compared as text: numbers with 15 significant digits, text in quotes, errors by their
// literal, arrays as {row items; next row}.
QString render(const SpreadSheetVariant& value, SpreadSheetFormulaErrorCode error)
{
    if (error != ecNone)
        return ErrorCodeToText(error);
    switch (value.Type()) {
    case vtEmpty:
        return QStringLiteral("<empty>");
    case vtNull:
        return QStringLiteral("<null>");
    case vtText:
        return u'"' + value.Text() + u'"';
    case vtBoolean:
        return value.Boolean() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    default:
        return QString::number(value.AsDouble(), 'g', 15);
    }
}

QString renderArray(SpreadSheetFormulaToken* array)
{
    SpreadSheetFormulaErrorCode error = ecNone;
    const SpreadSheetFormulaTokenDimension size = array->GetDimension(error);
    QString text = QStringLiteral("{");
    for (int row = 0; row < size.RowCount; ++row) {
        for (int column = 0; column < size.ColumnCount; ++column) {
            SpreadSheetVariant value;
            array->GetValueAsArrayItem(row, column, value, error);
            text += (column > 0 ? QStringLiteral(",") : row > 0 ? QStringLiteral(";") : QString()) + render(value, error);
        }
    }
    return text + u'}';
}

/// A cell typed before the formula runs; a leading "'" stores the rest as text.
struct CellSetup {
    const char* reference;
    QString text;
};

struct Case {
    QString formula;
    QString expected;
    std::vector<CellSetup> cells = {};
    const char* anchor = "A10"; // the cell the formula is evaluated for
    bool isArrayFormula = false;
};

void typeCells(SpreadSheet& book, const std::vector<CellSetup>& cells)
{
    for (const CellSetup& setup : cells) {
        SpreadSheetCell* cell = book.ActiveSheet()->CreateCell(QString::fromLatin1(setup.reference));
        if (setup.text.startsWith(u'\''))
            cell->SetAsString(setup.text.mid(1));
        else
            cell->SetText(setup.text);
    }
}

/// Evaluates a formula text at an anchor of the active sheet; an array on top of the stack is
/// shown whole, anything else as the formula's final value.
QString evaluate(SpreadSheet& book, const QString& text, const char* anchor = "A10", bool isArrayFormula = false)
{
    int row = 0;
    int column = 0;
    ParseCellReference(QString::fromLatin1(anchor), false, row, column);
    SpreadSheetExpressionFormula formula(&book.FormulaController(), book.ActiveSheet(), row, column);
    formula.SetIsArrayFormula(isArrayFormula);
    if (!ParseFormula(text, formula) || !formula.Tokens())
        return QStringLiteral("<parse error>");
    SpreadSheetFormulaResult result(&formula);
    formula.Evaluate(result);
    if (result.Validate() && result.LastItem() && result.LastItem()->Kind() == tkArray)
        return renderArray(result.LastItem());
    SpreadSheetFormulaErrorCode error = ecNone;
    const SpreadSheetVariant value = result.GetValue(&error);
    return render(value, error);
}

void runCases(const std::vector<Case>& cases, const QString& locale = QStringLiteral("en_US"))
{
    for (const Case& c : cases) {
        auto book = test::MakeBook(locale);
        typeCells(*book, c.cells);
        EXPECT_EQ(evaluate(*book, c.formula, c.anchor, c.isArrayFormula), c.expected)
            << c.formula.toStdString() << (c.isArrayFormula ? " (array formula)" : "") << " at " << c.anchor;
    }
}

TEST(SpreadSheetFormulaEvaluation, Arithmetic)
{
    runCases({
        { "=1+2*3", "7" },
        { "=(1+2)*3", "9" },
        { "=7-10", "-3" },
        { "=1/0", "#DIV/0!" },
        { "=1/1E-309", "#DIV/0!" },
        { "=1/2.2250738585072014E-308", "#DIV/0!" },
        { "=1/2.2250738585072019E-308", "4.49423283715579e+307" },
        { "=0^0", "#NUM!" },
        { "=2^0.5", "1.4142135623731" },
        { "=0^2", "0" },
        { "=(-8)^(1/3)", "#NUM!" },
        { "=(-2)^3", "-8" },
        { "=0^-1", "#NUM!" },
        { "=10^400", "#NUM!" },
        { "=1E308*10", "#NUM!" },
        { "=50%", "0.5" },
        { "=-(3)", "-3" },
        { "=-0", "0" },
        { "=TRUE+1", "2" },
        { "=FALSE*5", "0" },
        { "=1&2", "\"12\"" },
        { "=1.5&\"\"", "\"1.5\"" },
        { "=TRUE&\"x\"", "\"TRUEx\"" },
        { "=A1+A2", "0" },
        { "=A1*A2", "0" },
        { "=A1-3", "-3" },
        { "=A1&A2", "\"\"" },
        { "=A1", "0", { { "A1", "0" } } },
        { "=A1+1", "6", { { "A1", "5" } } },
        { "=A1+A2", "#VALUE!", { { "A1", "5" }, { "A2", "x" } } },
    });
}

TEST(SpreadSheetFormulaEvaluation, ErrorsPassThroughAndStopTheChain)
{
    runCases({
        { "=#N/A+1", "#N/A" },
        { "=1+#REF!", "#REF!" },
        { "=#N/A+1/0", "#N/A" },
        { "=(1/0)&\"x\"", "#DIV/0!" },
        { "=-(1/0)", "#DIV/0!" },
        { "=A1*2", "#NUM!", { { "A1", "#NUM!" } } },
        { "=A1=A1", "#N/A", { { "A1", "#N/A" } } },
        { "=DSUM(1)", "#NAME?" },
        // An error inside an argument reaches the caller only when the function reads it.
        { "=ISERROR(1/0)+1", "2" },
        { "=IF(TRUE,2,1/0)", "2" },
        { "=IF(FALSE,2,1/0)", "#DIV/0!" },
    });
}

TEST(SpreadSheetFormulaEvaluation, TextAsNumberInEnglishLocale)
{
    runCases({
        { "=\"3\"+2", "5" },
        { "=\"1,234\"+1", "1235" },
        { "=\"12,345,678.5\"+0", "12345678.5" },
        { "=\"1,23\"+1", "#VALUE!" },
        { "=\"1,2345\"+1", "#VALUE!" },
        { "=\",123\"+1", "#VALUE!" },
        { "=\"(5)\"+0", "-5" },
        { "=\" - 7 \"+0", "-7" },
        { "=\"1-\"+0", "-1" },
        { "=\"$12\"*2", "24" },
        { "=\"12$\"*2", "24" },
        { "=\"($1,000.50)\"+0", "-1000.5" },
        { "=\"$\"+1", "#VALUE!" },
        { "=\"$1$\"+1", "#VALUE!" },
        { "=\"abc\"+1", "#VALUE!" },
        { "=\"\"+1", "#VALUE!" },
        { "=\"1E3\"+0", "1000" },
        { "=\"1/2/2024\"+0", "45293" },
        { "=\"3/1/1900\"+0", "61" },
        { "=\"1/1/1900\"+0", "1" },
        { "=\"12:00\"+0", "0.5" },
        { "=\"3/2024\"+0", "45352" },
        { "=\"3/45\"+0", "16497" },
        { "=\"5/2013\"+0", "41395" },
        { "=\"3/1000\"+0", "#VALUE!" },
        { "=\"0/2024\"+0", "#VALUE!" },
        // A minus is a sign only at either end or beside the currency symbol; between digits it
        // separates the parts of a date.
        { "=\"3-2024\"+0", "45352" },
        { "=\"-$5\"+0", "-5" },
        { "=\"$-5\"+0", "-5" },
        { "=\"1-2-3\"+0", "37623" },
        { "=--\"2\"", "2" },
        { "=\"25\"%", "0.25" },
        // Text typed into cells goes through the same conversion in operations.
        { "=A1+2", "5", { { "A1", "'3" } } },
    });
}

TEST(SpreadSheetFormulaEvaluation, TextAsNumberInRussianLocale)
{
    const QChar nbsp(0x00A0);
    runCases(
        {
            { "=\"1,5\"+1", "2.5" },
            { "=\"1.5\"+0", QString::number(QDate(QDate::currentDate().year(), 5, 1).toJulianDay()
                                           - QDate(1899, 12, 30).toJulianDay()) },
            { "=\"1" + QString(nbsp) + "234\"+1", "1235" },
            { "=\"1 234\"+1", "#VALUE!" },
            { "=\"3.2024\"+0", "45352" },
            { "=\"3/2024\"+0", "45352" },
            { "=\"1.2.2024\"+0", "45323" },
            { QStringLiteral("=\"5 %1\"*2").arg(QString(QChar(0x20BD))), "10" },
            { "=1,5&\"\"", "\"1,5\"" },
            { "=\"(2,5)\"+0", "-2.5" },
        },
        QStringLiteral("ru_RU"));
}

TEST(SpreadSheetFormulaEvaluation, Comparisons)
{
    runCases({
        { "=\"a\"<\"B\"", "TRUE" },
        { "=\"A\"=\"a\"", "TRUE" },
        { "=\"b\">\"A\"", "TRUE" },
        { "=\"a\"<1", "FALSE" },
        { "=\"a\">1", "TRUE" },
        { "=1<\"a\"", "TRUE" },
        { "=\"a\"<TRUE", "TRUE" },
        { "=TRUE>\"a\"", "TRUE" },
        { "=\"\"=\"\"", "TRUE" },
        { "=\"2\">\"10\"", "TRUE" },
        { "=2>10", "FALSE" },
        { "=1<TRUE", "TRUE" },
        { "=FALSE<TRUE", "TRUE" },
        { "=1=1", "TRUE" },
        { "=1<>1", "FALSE" },
        { "=2<=2", "TRUE" },
        { "=3>=4", "FALSE" },
        { "=A1=0", "TRUE" },
        { "=A1=\"\"", "TRUE" },
        { "=\"\"=A1", "TRUE" },
        { "=A1=A2", "TRUE" },
        { "=A1<\"a\"", "TRUE" },
        // An empty cell stands for the number 0, and Booleans sort after every number.
        { "=A1=FALSE", "FALSE" },
        { "=A1=1", "FALSE", { { "A1", "'x" } } },
    });
}

TEST(SpreadSheetFormulaEvaluation, ImplicitIntersection)
{
    const std::vector<CellSetup> column = { { "A1", "1" }, { "A2", "2" }, { "A3", "3" } };
    const std::vector<CellSetup> row = { { "A1", "1" }, { "B1", "2" }, { "C1", "3" } };
    runCases({
        { "=A1:A3", "2", column, "C2" },
        { "=A1:A3", "#VALUE!", column, "C5" },
        { "=A1:A3*10", "30", column, "F3" },
        { "=A1:A3&\"\"", "#VALUE!", column, "F4" },
        { "=A1:C1", "2", row, "B7" },
        { "=A1:C1", "#VALUE!", row, "E7" },
        { "=A1:B2", "#VALUE!", column, "C1" },
        { "=$A$1:$A$3", "3", column, "Z3" },
        { "=A:A", "2", column, "C2" },
        // In an array formula a cell outside the line reads the line's first cell.
        { "=A1:A3", "1", column, "C5", true },
    });
}

TEST(SpreadSheetFormulaEvaluation, ArrayMode)
{
    const std::vector<CellSetup> cells = { { "A1", "1" }, { "A2", "2" }, { "A3", "3" }, { "B1", "10" },
        { "B2", "20" } };
    runCases({
        { "={1,2}*{3;4}", "{3,6;4,8}" },
        { "={1,2,3}+{1,2}", "{2,4,#N/A}" },
        { "={1;2}+{10,20,30}", "{11,21,31;12,22,32}" },
        { "={1,2}+1", "{2,3}" },
        { "=10-{1,2}", "{9,8}" },
        { "=-{1,2}", "{-1,-2}" },
        { "={1,0}/{1,0}", "{1,#DIV/0!}" },
        { "={1,2}&\"x\"", "{\"1x\",\"2x\"}" },
        { "={1,\"a\"}<{2,\"B\"}", "{TRUE,TRUE}" },
        { "={1,2}*A1", "{1,2}", cells },
        { "=A1:A3*2", "{2;4;6}", cells, "D1", true },
        { "=A1:A3*B1:B2", "{10;40;#N/A}", cells, "D1", true },
        { "=A1:A3+B1", "{11;12;13}", cells, "D1", true },
        { "=A1:A3*{1,2}", "{1,2;2,4;3,6}", cells },
        { "=#N/A*{1,2}", "#N/A" },
    });
}

TEST(SpreadSheetFormulaEvaluation, ReferenceOperations)
{
    const std::vector<CellSetup> cells = { { "A1", "1" }, { "B1", "2" }, { "B2", "3" }, { "C2", "4" },
        { "C3", "5" } };
    runCases({
        { "=(A1:B2 C1:D2)", "#NULL!", cells },
        { "=SUM(A1:B2 B1:C3)", "5", cells },
        { "=ROWS(A1:C3 B2:D9)", "2", cells },
        { "=COLUMNS(A1:C3 B2:D9)", "2", cells },
        { "=B1:C3 C2", "4", cells },
        { "=SUM((A1,C3))", "6", cells },
        { "=ROWS(A1:A2:C5)", "5", cells },
        { "=COLUMNS(A1:A2:C5)", "3", cells },
        { "=SUM(A1:B1:C3)", "15", cells },
        { "=ROWS(A:A B2)", "#NULL!", cells },
        { "=ROWS(A:B 2:3)", "2", cells },
        { "=COLUMNS(A:B 2:3)", "2", cells },
        { "=SUM(1:2 B:B)", "5", cells },
    });
}

TEST(SpreadSheetFormulaEvaluation, Functions)
{
    const std::vector<CellSetup> mixed = { { "A1", "1" }, { "A2", "'2" }, { "A3", "TRUE" } };
    const std::vector<CellSetup> texts = { { "D1", "x" }, { "D2", "y" }, { "D3", "z" } };
    const std::vector<CellSetup> values = { { "A1", "1" }, { "B1", "10" }, { "B2", "20" }, { "B3", "30" } };
    runCases({
        { "=SUM(A1:A3)", "1", mixed },
        { "=SUM(A2)", "0", mixed },
        { "=SUM(1,\"2\",TRUE)", "4" },
        { "=SUM(\"abc\")", "#VALUE!" },
        { "=SUM(\"1/2/2024\")", "45293" },
        { "=SUM(A1:A3,#N/A)", "#N/A", mixed },
        { "=SUM(1,)", "1" },
        { "=SUM({1,2;3,4})", "10" },
        { "=SUM({1,TRUE,\"3\"})", "1" },
        { "=SUM(A:A)", "1", mixed },
        // A normal formula reads the range in its own row; an array formula item by item, where
        // the operation reads the text cell as a number.
        { "=SUM(A1:A3*2)", "2", mixed, "C1" },
        { "=SUM(A1:A3*2)", "#VALUE!", mixed, "C5" },
        { "=SUM(A1:A3*2)", "8", mixed, "C1", true },
        { "=SUM(B1:B3*2)", "120", values, "C1", true },
        // Value functions called with arrays are called once per item.
        { "=ABS({-1,2;-3,4})", "{1,2;3,4}" },
        { "=SUM(ABS({-1,2,-3}))", "6" },
        { "=ROWS(ABS({1;2;3}))", "3" },
        { "=NOT({1,0})", "{FALSE,TRUE}" },
        { "=ABS(B1:B3-25)", "5", values, "C2" },
        { "=ABS(B1:B3-25)", "{15;5;5}", values, "C2", true },
        { "=ABS(\"x\")", "#VALUE!" },
        { "=ABS(A2)", "#VALUE!", mixed },
        { "=IF(1,\"y\",\"n\")", "\"y\"" },
        { "=IF(0,1)", "FALSE" },
        { "=IF(1)", "TRUE" },
        { "=IF(1,,2)", "0" },
        { "=IF(\"x\",1,2)", "#VALUE!" },
        { "=IF(A1>0,B1:B3)", "20", values, "D2" },
        { "=IF(A1>0,B1:B3)", "#VALUE!", values, "D5" },
        { "=ROWS(IF(A1>0,B1:B3))", "3", values },
        { "=AND(1,\"TRUE\")", "TRUE" },
        { "=AND(1,0)", "FALSE" },
        { "=OR(0,\"x\")", "#VALUE!" },
        { "=OR(0,1)", "TRUE" },
        { "=AND(D1:D3)", "#VALUE!", texts },
        { "=AND(D1:D3,1)", "TRUE", texts },
        { "=OR(E1:E5)", "#VALUE!" },
        { "=AND(#N/A,0)", "#N/A" },
        { "=NOT(0)", "TRUE" },
        { "=ISERROR(1/0)", "TRUE" },
        { "=ISERROR(A1)", "FALSE", mixed },
        { "=ISERROR(A1)", "TRUE", { { "A1", "#REF!" } } },
        { "=ISBLANK(E1)", "TRUE" },
        { "=ISBLANK(A1)", "FALSE", mixed },
        { "=ISBLANK(\"\")", "FALSE" },
        { "=ROWS(A1:C4)", "4" },
        { "=COLUMNS({1,2,3})", "3" },
        { "=NOSUCHFUNCTION(1)", "#NAME?" },
    });
}

QString evaluateTokens(SpreadSheetCustomFormula& formula)
{
    SpreadSheetFormulaResult result(&formula);
    formula.Evaluate(result);
    SpreadSheetFormulaErrorCode error = ecNone;
    const SpreadSheetVariant value = result.GetValue(&error);
    return render(value, error);
}

// More arguments than the parser lets through, added to a parsed call.
TEST(SpreadSheetFormulaEvaluation, SumRefusesMoreThan255Arguments)
{
    auto book = test::MakeBook();
    SpreadSheetExpressionFormula formula(&book->FormulaController(), book->ActiveSheet(), 0, 0);
    ASSERT_TRUE(ParseFormula("=SUM(1)", formula));
    SpreadSheetFormulaToken* sum = formula.Tokens();
    for (int count = 2; count <= 256; ++count) {
        auto* holder = new SpreadSheetFormulaToken();
        SpreadSheetFormulaToken::AddChild(holder, new SpreadSheetFormulaIntegerValueToken(1));
        SpreadSheetFormulaToken::AddChild(sum, holder);
        if (count == 255) {
            EXPECT_EQ(evaluateTokens(formula), "255");
        }
    }
    formula.Tokens()->SetOwnerOfChain(&formula);
    EXPECT_EQ(evaluateTokens(formula), "#N/A");
}

// Chains the parser does not build: a reference operation on values, an operation short of operands.
TEST(SpreadSheetFormulaEvaluation, MalformedChains)
{
    auto book = test::MakeBook();
    struct Row {
        std::vector<SpreadSheetFormulaToken*> tokens;
        const char* expected;
    } rows[] = {
        { { new SpreadSheetFormulaIntegerValueToken(1),
              new SpreadSheetFormulaReferenceToken(
                  SpreadSheetReference::Create(0, true), SpreadSheetReference::Create(0, true)),
              new SpreadSheetFormulaOperationToken(opIsect) },
            "#REF!" },
        { { new SpreadSheetFormulaReferenceToken(
                SpreadSheetReference::Create(0, true), SpreadSheetReference::Create(0, true)),
              new SpreadSheetFormulaOperationToken(opUnion) },
            "#VALUE!" },
        { { new SpreadSheetFormulaIntegerValueToken(1), new SpreadSheetFormulaOperationToken(opAdd) }, "#VALUE!" },
        { { new SpreadSheetFormulaOperationToken(opUminus) }, "#VALUE!" },
        { { new SpreadSheetFormulaUnknownNameToken("NOSUCHNAME") }, "#NAME?" },
        { { new SpreadSheetFormulaDefinedNameToken("Total", nullptr) }, "#NAME?" },
        { {}, "#VALUE!" },
    };
    for (const Row& row : rows) {
        SpreadSheetExpressionFormula formula(&book->FormulaController(), book->ActiveSheet(), 4, 4);
        SpreadSheetFormulaToken* first = nullptr;
        for (SpreadSheetFormulaToken* token : row.tokens)
            SpreadSheetFormulaToken::Append(first, token);
        formula.SetTokens(first);
        EXPECT_EQ(evaluateTokens(formula), row.expected) << row.expected;
    }
}

TEST(SpreadSheetFormulaEvaluation, DeletedSheetGivesRefError)
{
    auto book = test::MakeBook();
    SpreadSheetTableView* other = book->AddSheet(QStringLiteral("Data"));
    other->CreateCell(0, 0)->SetAsFloat(7);
    SpreadSheetExpressionFormula formula(&book->FormulaController(), book->ActiveSheet(), 5, 5);
    ASSERT_TRUE(ParseFormula(QStringLiteral("=Data!A1*2"), formula));
    {
        SpreadSheetFormulaResult result(&formula);
        formula.Evaluate(result);
        EXPECT_EQ(render(result.GetValue(), result.ErrorCode()), "14");
    }
    book->DeleteSheet(other);
    SpreadSheetFormulaResult result(&formula);
    formula.Evaluate(result);
    SpreadSheetFormulaErrorCode error = ecNone;
    const SpreadSheetVariant value = result.GetValue(&error);
    EXPECT_EQ(error, ecRefErr);
    EXPECT_EQ(value.Text(), "#REF!");
    EXPECT_EQ(formula.AsText(), "=#REF!A1*2");
}

// Function calls keep their value for one calculation pass only.
TEST(SpreadSheetFormulaEvaluation, CellFormulasFollowEachPass)
{
    auto book = test::MakeBook();
    SpreadSheetTableView* sheet = book->ActiveSheet();
    sheet->CreateCell(0, 0)->SetAsFloat(1);
    sheet->CreateCell(1, 0)->SetAsFloat(-3);
    sheet->CreateCell(0, 1)->SetText(QStringLiteral("=SUM(A1:A2)*ABS(A2)+IF(A1>2,100)"), true);
    const auto b1 = [&] {
        SpreadSheetVariant value;
        SpreadSheetFormulaErrorCode error = ecNone;
        book->FormulaController().ReadCellValue(sheet, 0, 1, value, error);
        return render(value, error);
    };
    book->Calculate();
    EXPECT_EQ(b1(), "-6");
    sheet->GetCell(0, 0)->SetAsFloat(5);
    book->Calculate();
    EXPECT_EQ(b1(), "106");
    sheet->GetCell(1, 0)->SetText(QStringLiteral("#N/A"));
    book->Calculate();
    EXPECT_EQ(b1(), "#N/A");
}

// The enumeration behind the aggregates: column by column, clipped to the used range, with runs of
// missing cells handed over in one step together with their length.
TEST(SpreadSheetFormulaEvaluation, ForEachWalksColumnsAndSkipsEmptyRuns)
{
    auto book = test::MakeBook();
    typeCells(*book, { { "A1", "1" }, { "A4", "2" }, { "B2", "'x" }, { "C6", "3" } });
    SpreadSheetExpressionFormula formula(&book->FormulaController(), book->ActiveSheet(), 9, 9);
    ASSERT_TRUE(ParseFormula(QStringLiteral("=SUM(A1:B100,{4,5})"), formula));
    SpreadSheetFormulaResult result(&formula);
    SpreadSheetFormulaToken* params = formula.Tokens()->ChildFirst();
    QStringList seen;
    const auto record = [&](const SpreadSheetEnumeratedValue& item) {
        seen << QStringLiteral("%1@%2,%3x%4%5")
                    .arg(render(item.Value, item.ErrorCode))
                    .arg(item.RowOffset)
                    .arg(item.ColumnOffset)
                    .arg(item.Count)
                    .arg(item.CanConvertStrToNumber ? "" : "r");
        return true;
    };
    EXPECT_TRUE(result.ForEach(params, record));
    EXPECT_TRUE(result.ForEach(params->Next(), record));
    EXPECT_EQ(seen.join(u' '),
        "1@0,0x1r <empty>@1,0x2r 2@3,0x1r <empty>@4,0x2r "
        "<empty>@0,1x1r \"x\"@1,1x1r <empty>@2,1x4r "
        "4@0,0x1r 5@0,1x1r");

    // The procedure stops the enumeration.
    seen.clear();
    EXPECT_FALSE(result.ForEach(params, [&](const SpreadSheetEnumeratedValue& item) {
        record(item);
        return seen.size() < 2;
    }));
    EXPECT_EQ(seen.size(), 2);
}

TEST(SpreadSheetFormulaEvaluation, ParameterAccess)
{
    auto book = test::MakeBook();
    typeCells(*book, { { "A1", "'7" }, { "A2", "'1/2/2024" }, { "B1", "TRUE" } });
    SpreadSheetExpressionFormula formula(&book->FormulaController(), book->ActiveSheet(), 0, 3);
    ASSERT_TRUE(ParseFormula(QStringLiteral("=SUM(A1,\"7\",,B1,A2,1/0,A1:A2)"), formula));
    SpreadSheetFormulaToken* params = formula.Tokens()->ChildFirst();
    SpreadSheetFormulaResult result(&formula);
    double number = 0;

    EXPECT_EQ(SpreadSheetFormulaResult::GetParamsCount(params), 7);
    EXPECT_TRUE(SpreadSheetFormulaResult::ParameterExists(params, 6));
    EXPECT_FALSE(SpreadSheetFormulaResult::ParameterExists(params, 7));

    // Text reached through a reference is not read as a number; typed text is.
    EXPECT_FALSE(result.ExtractNumericParameter(number, params, 0));
    EXPECT_EQ(result.ErrorCode(), ecValue);
    result.Clear();
    EXPECT_TRUE(result.ExtractNumericParameter(number, params, 1));
    EXPECT_EQ(number, 7);
    // A date typed as text is still a date.
    EXPECT_TRUE(result.ExtractNumericParameter(number, params, 4));
    EXPECT_EQ(number, 45293);

    EXPECT_TRUE(result.ExtractNumericParameterDef(number, 5, 9, params, 2));
    EXPECT_EQ(number, 9);
    EXPECT_TRUE(result.ExtractNumericParameterDef(number, 5, 9, params, 8));
    EXPECT_EQ(number, 5);
    EXPECT_FALSE(result.ExtractNumericParameter(number, params, 8));
    EXPECT_EQ(result.ErrorCode(), ecNA);
    result.Clear();

    EXPECT_TRUE(result.ExtractNumericParameter(number, params, 3));
    EXPECT_EQ(number, 1);
    EXPECT_FALSE(result.ExtractNumericParameterWithoutBoolean(number, params, 3));
    EXPECT_EQ(result.ErrorCode(), ecValue);
    result.Clear();

    EXPECT_FALSE(result.ExtractNumericParameter(number, params, 5));
    EXPECT_EQ(result.ErrorCode(), ecDivByZero);
    result.Clear();
    EXPECT_EQ(result.ExtractErrorCode(params, 5), ecDivByZero);
    EXPECT_TRUE(result.Validate());

    QString text;
    EXPECT_TRUE(result.ExtractStringParameter(text, params, 3));
    EXPECT_EQ(text, "TRUE");

    SpreadSheetFormulaTokenDimension dimension;
    EXPECT_TRUE(result.ExtractParameterDimension(dimension, params, 6));
    EXPECT_EQ(dimension, (SpreadSheetFormulaTokenDimension { 2, 1 }));

    const std::unique_ptr<SpreadSheetVector> column = result.ExtractColumnFromRange(params, 6, 0);
    ASSERT_TRUE(column);
    ASSERT_EQ(column->Count(), 2);
    EXPECT_EQ(column->Item(1).Value.Text(), "1/2/2024");
    EXPECT_EQ(column->Item(2).ErrorCode, ecNA);
    EXPECT_FALSE(result.ExtractColumnFromRange(params, 6, 1));
    EXPECT_EQ(result.ErrorCode(), ecRefErr);
    result.Clear();

    EXPECT_TRUE(result.AddParameterValues(params, 6));
    EXPECT_EQ(result.Count(), 1);
    EXPECT_EQ(result.LastItem()->Kind(), tkAreaReference);
    EXPECT_EQ(result.ExtractValueToken()->Kind(), tkAreaReference);
    EXPECT_EQ(result.ExtractValueToken()->Kind(), tkNull);
}

TEST(SpreadSheetFormulaValues, CompareFormulaValues)
{
    const SpreadSheetFormatSettings settings(LocaleData::ForName(QStringLiteral("en_US")));
    const SpreadSheetVariant empty;
    const auto text = [](const char* t) { return SpreadSheetVariant::FromText(QString::fromUtf8(t)); };
    const auto number = [](double d) { return SpreadSheetVariant::FromFloat(d); };
    const auto boolean = [](bool b) { return SpreadSheetVariant::FromBoolean(b); };
    struct Row {
        SpreadSheetVariant left;
        SpreadSheetVariant right;
        int expected;
    } rows[] = {
        { empty, empty, 0 },
        { empty, number(0), 0 },
        { empty, text(""), 0 },
        { text(""), empty, 0 },
        { empty, number(-1), 1 },
        { empty, boolean(false), -1 },
        { text("a"), empty, 1 },
        { text("a"), number(1E300), 1 },
        { number(1E300), text("a"), -1 },
        { text("a"), boolean(false), -1 },
        { boolean(false), text("zzz"), 1 },
        { text("a"), text("B"), -1 },
        { text("ABC"), text("abc"), 0 },
        { text("é"), text("f"), -1 },
        { boolean(true), number(1E300), 1 },
        { boolean(false), boolean(true), -1 },
        { SpreadSheetVariant::FromInteger(2), SpreadSheetVariant::FromCurrency(20000), 0 },
        { SpreadSheetVariant::FromDateTime(45000), number(44999.5), 1 },
    };
    for (const Row& row : rows) {
        const int order = CompareFormulaValues(row.left, row.right, settings);
        EXPECT_EQ((order > 0) - (order < 0), row.expected)
            << render(row.left, ecNone).toStdString() << " vs " << render(row.right, ecNone).toStdString();
    }
}

TEST(SpreadSheetFormulaValues, ConvertValueToNumeric)
{
    const SpreadSheetFormatSettings settings(LocaleData::ForName(QStringLiteral("en_US")));
    struct Row {
        SpreadSheetVariant value;
        bool canConvertText;
        bool withoutBoolean;
        SpreadSheetFormulaErrorCode expectedError;
        double expected;
    } rows[] = {
        { SpreadSheetVariant(), false, true, ecNone, 0 },
        { SpreadSheetVariant::Null(), false, true, ecNone, 0 },
        { SpreadSheetVariant::FromBoolean(true), false, false, ecNone, 1 },
        { SpreadSheetVariant::FromBoolean(true), true, true, ecValue, 0 },
        { SpreadSheetVariant::FromText("2"), false, false, ecValue, 0 },
        { SpreadSheetVariant::FromText("2"), true, false, ecNone, 2 },
        { SpreadSheetVariant::FromCurrency(12345), false, false, ecNone, 1.2345 },
    };
    for (const Row& row : rows) {
        double number = 0;
        EXPECT_EQ(ConvertValueToNumeric(row.value, settings, row.canConvertText, row.withoutBoolean, number),
            row.expectedError)
            << render(row.value, ecNone).toStdString();
        if (row.expectedError == ecNone) {
            EXPECT_EQ(number, row.expected) << render(row.value, ecNone).toStdString();
        }
    }
}

TEST(SpreadSheetFormulaValues, DayCountToSerial)
{
    EXPECT_EQ(DayCountToSerial(0.5, dts1900), 0.5);
    EXPECT_EQ(DayCountToSerial(2, dts1900), 1);
    EXPECT_EQ(DayCountToSerial(60, dts1900), 59);
    EXPECT_EQ(DayCountToSerial(61, dts1900), 61);
    EXPECT_EQ(DayCountToSerial(1462, dts1904), 0);
}

} // namespace
} // namespace quorvel
