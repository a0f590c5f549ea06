#include "formulas/SpreadSheetFormulaParser.h"
#include "../model/SpreadSheetTestSupport.h"
#include "FormulaChainDescription.h"
#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetFormulaTokens.h"
#include "model/SpreadSheet.h"
#include "model/SpreadSheetErrors.h"
#include "model/SpreadSheetTableView.h"

#include <gtest/gtest.h>

#include <memory>

namespace quorvel {
namespace {

using test::DescribeChain;

// A formula read with `settings` at anchor (row, column), without a workbook.
struct ParsedFormula {
    ParsedFormula(const QString& text, const SpreadSheetFormatSettings& settings, int row = 0, int column = 0)
        : settings(settings)
    {
        formula.SetAnchor(row, column);
        SpreadSheetCustomFormulaParser parser(settings);
        accepted = parser.ParseFormula(text, formula);
        error = parser.ErrorCode();
    }
    QString Chain() const { return DescribeChain(formula.Tokens(), settings); }
    /// "=" and the text of the tokens in the parser's settings.
    QString Text() const
    {
        SpreadSheetFormulaTextStack stack;
        for (const SpreadSheetFormulaToken* token = formula.Tokens(); token; token = token->Next())
            token->BuildText(stack, settings);
        return u'=' + stack.join(QString());
    }

    SpreadSheetFormatSettings settings;
    SpreadSheetCustomFormula formula { nullptr };
    bool accepted = false;
    SpreadSheetFormulaParserErrorCode error = pecNone;
};

struct ChainCase {
    const char* text;
    const char* chain; // postfix, see DescribeChain
    const char* printed; // the formula's text read back
};

void ExpectChains(
    const std::vector<ChainCase>& cases, const SpreadSheetFormatSettings& settings, int row = 0, int column = 0)
{
    for (const ChainCase& c : cases) {
        SCOPED_TRACE(c.text);
        const ParsedFormula parsed(QString::fromUtf8(c.text), settings, row, column);
        ASSERT_TRUE(parsed.accepted);
        EXPECT_EQ(parsed.error, pecNone);
        EXPECT_EQ(parsed.formula.ErrorIndex(), 0);
        EXPECT_EQ(parsed.Chain(), QString::fromUtf8(c.chain));
        EXPECT_EQ(parsed.Text(), QString::fromUtf8(c.printed));
        // The text read back gives the same chain again.
        const ParsedFormula again(parsed.Text(), settings, row, column);
        EXPECT_EQ(again.Chain(), parsed.Chain());
    }
}

TEST(SpreadSheetFormulaParserTest, OperatorsAndPrecedence)
{
    ExpectChains(
        {
            { "=1+2*3", "1 2 3 * +", "=1+2*3" },
            { "=2^3^2", "2 3 ^ 2 ^", "=2^3^2" },
            { "=-2^2", "-2 2 ^", "=-2^2" },
            { "=1&2=12", "1 2 & 12 =", "=1&2=12" },
            { "=(1+2)*3", "(1 2 +) 3 *", "=(1+2)*3" },
            { "=1-2-3", "1 2 - 3 -", "=1-2-3" },
            { "=1<=2<>TRUE", "1 2 <= TRUE <>", "=1<=2<>TRUE" },
            { "=A1>=B1", "A1 B1 >=", "=A1>=B1" },
            { "=--A1", "A1 u- u-", "=--A1" },
            { "=-A1^2", "A1 u- 2 ^", "=-A1^2" },
            { "=+A1", "A1 u+", "=+A1" },
            { "=1--1", "1 -1 -", "=1--1" },
            { "=2*-3", "2 -3 *", "=2*-3" },
            { "=2^-0.5", "2 -0.5 ^", "=2^-0.5" },
            { "=-0", "0", "=0" },
            { "=+1", "1 u+", "=+1" },
            { "=-(1)", "(1) u-", "=-(1)" },
            { "=5%%", "5 % %", "=5%%" },
            { "=10%*2", "10 % 2 *", "=10%*2" },
            { "=\"a\"&\"b\"", "\"a\" \"b\" &", "=\"a\"&\"b\"" },
        },
        SpreadSheetFormatSettings());
}

TEST(SpreadSheetFormulaParserTest, BlanksAndIntersection)
{
    ExpectChains(
        {
            { "=A1 B1", "A1 B1 isect", "=A1 B1" },
            { "=A1  +  B1", "A1 B1 +", "=A1+B1" },
            { "=A1 : B1", "A1:B1", "=A1:B1" },
            { "=SUM( A1 )", "SUM(A1)", "=SUM(A1)" },
            { "=  1 + 2  ", "1 2 +", "=1+2" },
            { "=1\r\n+2", "1 2 +", "=1+2" },
            { "=SUM (A1)", "SUM(A1)", "=SUM(A1)" },
            { "=A1:B2 B1:C3", "A1:B2 B1:C3 isect", "=A1:B2 B1:C3" },
            { "=SUM(A1:B2 B1:C3)", "SUM(A1:B2 B1:C3 isect)", "=SUM(A1:B2 B1:C3)" },
        },
        SpreadSheetFormatSettings());
}

TEST(SpreadSheetFormulaParserTest, ValuesNamesAndCalls)
{
    ExpectChains(
        {
            { "='text'", "\"text\"", "=\"text\"" },
            { "=\"a\"\"b\"", "\"a\"\"b\"", "=\"a\"\"b\"" },
            { "=\"it's\"", "\"it's\"", "=\"it's\"" },
            { "=TRUE", "TRUE", "=TRUE" },
            { "=false", "FALSE", "=FALSE" },
            { "=#N/A", "#N/A", "=#N/A" },
            { "=#div/0!", "#DIV/0!", "=#DIV/0!" },
            { "=#NAME?", "#NAME?", "=#NAME?" },
            { "=#REF!", "#REF!", "=#REF!" },
            { "=1.5", "1.5", "=1.5" },
            { "=1E3", "1000", "=1000" },
            { "=1.5E+20", "1.5e+20", "=1.5E+20" },
            { "=2.5e-3", "0.0025", "=0.0025" },
            { "=2147483647", "2147483647", "=2147483647" },
            { "=2147483648", "2147483648", "=2147483648" },
            { "=SUM(1,,3)", "SUM(1, null, 3)", "=SUM(1,,3)" },
            { "=SUM(1,)", "SUM(1, null)", "=SUM(1,)" },
            { "=SUM(,)", "SUM(null, null)", "=SUM(,)" },
            { "=SUM()", "SUM()", "=SUM()" },
            { "=PI()", "PI()", "=PI()" },
            { "=sum(a1,b2)", "SUM(A1, B2)", "=SUM(A1,B2)" },
            { "=LOG10(100)", "LOG10(100)", "=LOG10(100)" },
            { "=IF(A1>0,\"yes\",\"no\")", "IF(A1 0 >, \"yes\", \"no\")", "=IF(A1>0,\"yes\",\"no\")" },
            { "=TRUE()", "TRUE()", "=TRUE()" },
            { "=SUM(1;2)", "SUM(1 ; 2)", "=SUM(1;2)" },
            { "=foo(1,a1)", "?foo(1, A1)", "=foo(1,A1)" },
            { "=Foo.Bar()", "?Foo.Bar()", "=Foo.Bar()" },
            { "=_xlfn.FOOBAR(1)", "?_xlfn.FOOBAR(1)", "=_xlfn.FOOBAR(1)" },
            { "=myName", "?myName", "=myName" },
            { "=myName*2", "?myName 2 *", "=myName*2" },
            { "=A", "?A", "=A" },
            { "=R1C1", "?R1C1", "=R1C1" },
            { "=XFE1", "?XFE1", "=XFE1" },
            { "=A0", "?A0", "=A0" },
            { "={1,2;3,4}", "{1, 2 ; 3, 4}", "={1,2;3,4}" },
            { "={1,\"a\";TRUE,#N/A}", "{1, \"a\" ; TRUE, #N/A}", "={1,\"a\";TRUE,#N/A}" },
            { "={-1,2}", "{-1, 2}", "={-1,2}" },
            { "=A1,B1", "list(A1, B1)", "=A1,B1" },
            { "=SUM((A1,B1))", "SUM((list(A1, B1)))", "=SUM((A1,B1))" },
            { "=()", "(null)", "=()" },
        },
        SpreadSheetFormatSettings());
}

TEST(SpreadSheetFormulaParserTest, ReferencesAndRanges)
{
    ExpectChains(
        {
            { "=A1", "A1", "=A1" },
            { "=$A$1+A$1+$A1", "$A$1 A$1 + $A1 +", "=$A$1+A$1+$A1" },
            { "=XFD1048576", "XFD1048576", "=XFD1048576" },
            { "=a1:b2", "A1:B2", "=A1:B2" },
            { "=B2:A1", "A1:B2", "=A1:B2" },
            { "=$A$1:B$2", "$A$1:B$2", "=$A$1:B$2" },
            { "=A:C", "A:C", "=A:C" },
            { "=$A:$C", "$A:$C", "=$A:$C" },
            { "=SUM(A:A)", "SUM(A:A)", "=SUM(A:A)" },
            { "=1:3", "1:3", "=1:3" },
            { "=$1:$3", "$1:$3", "=$1:$3" },
            { "=A1:#REF!", "A1:#REF!", "=A1:#REF!" },
            { "=#REF!A1", "#REF!A1", "=#REF!A1" },
            { "=#REF!A1:B2", "#REF!A1:B2", "=#REF!A1:B2" },
            { "=A1:B2:C3", "A1:B2 C3 range", "=A1:B2:C3" },
            { "=SUM(A1):B1", "SUM(A1) B1 range", "=SUM(A1):B1" },
            // A sheet prefix that names no sheet of the workbook (there is none here).
            { "=Sheet2!A1", "#REF!A1", "=#REF!A1" },
            { "=[1]Sheet1!A1", "[1]Sheet1!A1", "=[1]Sheet1!A1" },
            { "=[2]Data!$A$1:B2", "[2]Data!$A$1:B2", "=[2]Data!$A$1:B2" },
            { "=[1]!Rate", "?[1]!Rate", "=[1]!Rate" },
            { "=[1]!Fn(1)", "?[1]!Fn(1)", "=[1]!Fn(1)" },
        },
        SpreadSheetFormatSettings());
}

TEST(SpreadSheetFormulaParserTest, RelativeReferencesFollowTheAnchor)
{
    struct Case {
        const char* text;
        int row;
        int column;
        const char* fromA1; // the same tokens printed for a formula in A1
    };
    const Case cases[] = {
        { "=C5+$C$5", 4, 2, "=A1+$C$5" },
        { "=D10:E11", 4, 2, "=B6:C7" },
        { "=C:D", 4, 2, "=A:B" },
        { "=5:6", 4, 2, "=1:2" },
        { "=$A5", 4, 2, "=$A1" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ParsedFormula parsed(QString::fromUtf8(c.text), SpreadSheetFormatSettings(), c.row, c.column);
        EXPECT_EQ(parsed.Text(), QString::fromUtf8(c.text));
        parsed.formula.SetAnchor(0, 0);
        EXPECT_EQ(parsed.formula.AsText(), QString::fromUtf8(c.fromA1));
    }
}

TEST(SpreadSheetFormulaParserTest, R1C1Notation)
{
    SpreadSheetFormatSettings r1c1;
    r1c1.SetR1C1Reference(true);
    // Owner cell D6.
    ExpectChains(
        {
            { "=R[-1]C", "R[-1]C", "=R[-1]C" },
            { "=R1C1+RC[2]", "R1C1 RC[2] +", "=R1C1+RC[2]" },
            { "=R[+2]C", "R[2]C", "=R[2]C" },
            { "=SUM(R1C1:R2C2)", "SUM(R1C1:R2C2)", "=SUM(R1C1:R2C2)" },
            { "=R1:R3", "R1:R3", "=R1:R3" },
            { "=rc", "RC", "=RC" },
            { "=ROUND(R1C1,2)", "ROUND(R1C1, 2)", "=ROUND(R1C1,2)" },
        },
        r1c1, 5, 3);
    struct Case {
        const char* text;
        const char* a1;
    };
    const Case cases[] = {
        { "=R[-1]C", "=D5" },
        { "=R1C1+RC[2]", "=$A$1+F6" },
        { "=R[-1]C[-1]:R[1]C[1]", "=C5:E7" },
        { "=C[-1]:C", "=C:D" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ParsedFormula parsed(QString::fromUtf8(c.text), r1c1, 5, 3);
        ASSERT_EQ(parsed.error, pecNone);
        EXPECT_EQ(parsed.formula.AsText(), QString::fromUtf8(c.a1));
    }
}

TEST(SpreadSheetFormulaParserTest, SemicolonListSeparator)
{
    const SpreadSheetFormatSettings russian(LocaleData::ForName(QStringLiteral("ru_RU")));
    ASSERT_EQ(russian.ListSeparator(), u';');
    ASSERT_EQ(russian.DecimalSeparator(), u',');
    ASSERT_EQ(russian.ArraySeparator(), u':');
    ExpectChains(
        {
            { "=SUM(1;;3)", "SUM(1, null, 3)", "=SUM(1;;3)" },
            { "=SUM(1;)", "SUM(1, null)", "=SUM(1;)" },
            { "=1,5+2", "1.5 2 +", "=1,5+2" },
            { "=0,1*A1", "0.1 A1 *", "=0,1*A1" },
            { "={1;2:3;4}", "{1, 2 ; 3, 4}", "={1;2:3;4}" },
            { "={1,5;2}", "{1.5, 2}", "={1,5;2}" },
            { "=SUM(A1:B2;C3)", "SUM(A1:B2, C3)", "=SUM(A1:B2;C3)" },
            { "=A1,B1", "A1 B1 union", "=A1,B1" },
            { "=A1;B1", "list(A1, B1)", "=A1;B1" },
            { "=IF(A1>0;\"да\";\"нет\")", "IF(A1 0 >, \"да\", \"нет\")", "=IF(A1>0;\"да\";\"нет\")" },
        },
        russian);
}

TEST(SpreadSheetFormulaParserTest, SyntaxErrors)
{
    struct Case {
        const char* text;
        SpreadSheetFormulaParserErrorCode error;
        int index; // 1-based in the whole text
        SpreadSheetFormulaErrorCode formulaError;
    };
    const Case cases[] = {
        { "=1+", pecInvalidExpression, 3, ecNone },
        { "=%5", pecInvalidExpression, 2, ecNone },
        { "=1+%5", pecInvalidExpression, 4, ecNone },
        { "=1 2", pecInvalidExpression, 4, ecNone },
        { "=1 2+", pecInvalidExpression, 4, ecNone },
        { "=A1 B1+", pecInvalidExpression, 7, ecNone },
        { "=1+*2", pecInvalidExpression, 4, ecNone },
        { "=1%2", pecInvalidExpression, 4, ecNone },
        // A space after a break character is a blank, not the intersection.
        { "=(A1) (B1)", pecInvalidExpression, 7, ecNone },
        { "=-+A1", pecInvalidExpression, 2, ecNone },
        { "=++A1", pecInvalidExpression, 2, ecNone },
        { "=A1:", pecInvalidExpression, 4, ecNone },
        { "=#REF!#N/A", pecInvalidExpression, 7, ecNone },
        { "=SUM(1+)", pecInvalidExpression, 7, ecNone },
        { "=R[-1]C", pecUnknownIdentifier, 3, ecName },
        { "=)", pecUnknownIdentifier, 2, ecName },
        { "=1+)", pecUnknownIdentifier, 4, ecName },
        { "=Sheet1!", pecUnknownIdentifier, 2, ecName },
        { "=Sheet1!#N/A", pecUnknownIdentifier, 2, ecName },
        { "=1E", pecUnknownIdentifier, 2, ecName },
        { "=1E+", pecUnknownIdentifier, 2, ecName },
        { "=[1]Sheet1", pecUnknownIdentifier, 2, ecName },
        { "=\"abc", pecUnexpectedEndOfString, 2, ecNone },
        { "=SUM(\"a)", pecUnexpectedEndOfExpression, 5, ecNone },
        { "=SUM(1,2", pecUnexpectedEndOfExpression, 5, ecNone },
        { "=(1+(2)", pecUnexpectedEndOfExpression, 2, ecNone },
        { "={1,2", pecUnexpectedEndOfArray, 2, ecNone },
        { "=[1Sheet1!A1", pecUnexpectedEndOfExternalReference, 2, ecName },
        { "=[x]Sheet1!A1", pecInvalidReference, 2, ecName },
        { "=[0]Sheet1!A1", pecInvalidReference, 2, ecName },
        { "=1;2", pecUnknownIdentifierInParameterList, 3, ecName },
        { "=(1;2)", pecUnknownIdentifierInParameterList, 4, ecName },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ParsedFormula parsed(QString::fromUtf8(c.text), SpreadSheetFormatSettings());
        ASSERT_TRUE(parsed.accepted);
        EXPECT_EQ(parsed.error, c.error);
        EXPECT_EQ(parsed.formula.ErrorIndex(), c.index);
        EXPECT_EQ(parsed.formula.ErrorCode(), c.formulaError);
        EXPECT_EQ(FormulaErrorOfParserError(c.error), c.formulaError);
        EXPECT_EQ(parsed.formula.Tokens(), nullptr);
        // A formula with a syntax error prints as it was typed.
        EXPECT_EQ(parsed.formula.AsText(), QString::fromUtf8(c.text));
    }
}

TEST(SpreadSheetFormulaParserTest, TextWithoutPrefixIsNotAFormula)
{
    for (const char* text : { "1+2", "", " =1", "'=1" }) {
        SCOPED_TRACE(text);
        const ParsedFormula parsed(QString::fromUtf8(text), SpreadSheetFormatSettings());
        EXPECT_FALSE(parsed.accepted);
        EXPECT_EQ(parsed.formula.Tokens(), nullptr);
    }
    const ParsedFormula empty(QStringLiteral("="), SpreadSheetFormatSettings());
    EXPECT_TRUE(empty.accepted);
    EXPECT_EQ(empty.error, pecNone);
    EXPECT_EQ(empty.formula.Tokens(), nullptr);
    EXPECT_EQ(empty.formula.AsText(), QStringLiteral("="));
}

TEST(SpreadSheetFormulaParserTest, AFormulaReadAgainStartsClean)
{
    SpreadSheetCustomFormula formula(nullptr);
    SpreadSheetCustomFormulaParser parser { SpreadSheetFormatSettings() };
    ASSERT_TRUE(parser.ParseFormula(QStringLiteral("=1+"), formula));
    EXPECT_EQ(parser.ErrorCode(), pecInvalidExpression);
    ASSERT_TRUE(parser.ParseFormula(QStringLiteral("=1+2"), formula));
    EXPECT_EQ(parser.ErrorCode(), pecNone);
    EXPECT_EQ(parser.ErrorIndex(), 0);
    EXPECT_EQ(formula.ErrorIndex(), 0);
    EXPECT_EQ(formula.AsText(), QStringLiteral("=1+2"));
    EXPECT_EQ(formula.SourceText(), QStringLiteral("=1+2"));
}

TEST(SpreadSheetFormulaParserTest, SourcePositionsIncludeThePrefix)
{
    const ParsedFormula parsed(QStringLiteral("=SUM(A1, -2)*B1"), SpreadSheetFormatSettings());
    ASSERT_EQ(parsed.error, pecNone);
    // Postfix: SUM(...) B1 *
    const SpreadSheetFormulaToken* function = parsed.formula.Tokens();
    ASSERT_EQ(function->Kind(), tkFunction);
    EXPECT_EQ(function->SourceStart(), 2);
    EXPECT_EQ(function->SourceFinish(), 12);
    const SpreadSheetFormulaToken* a1 = function->ChildFirst()->ChildFirst();
    EXPECT_EQ(a1->SourceStart(), 6);
    EXPECT_EQ(a1->SourceFinish(), 7);
    // The folded sign belongs to the number.
    const SpreadSheetFormulaToken* number = function->ChildLast()->ChildFirst();
    EXPECT_EQ(number->SourceStart(), 10);
    EXPECT_EQ(number->SourceFinish(), 11);
    const SpreadSheetFormulaToken* multiply = function->Next()->Next();
    EXPECT_EQ(multiply->SourceStart(), 13);
    EXPECT_EQ(SpreadSheetFormulaToken::FindToken(14, parsed.formula.Tokens())->Kind(), tkReference);
    EXPECT_EQ(SpreadSheetFormulaToken::FindToken(6, parsed.formula.Tokens()), a1);
}

TEST(SpreadSheetFormulaParserTest, NumberKinds)
{
    struct Case {
        const char* text;
        SpreadSheetFormulaTokenKind kind;
    };
    const Case cases[] = {
        { "=2147483647", tkIntegerValue },
        { "=-2147483647", tkIntegerValue },
        { "=2147483648", tkFloatValue },
        { "=1.0", tkFloatValue },
        { "=1E2", tkFloatValue },
        { "=007", tkIntegerValue },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ParsedFormula parsed(QString::fromUtf8(c.text), SpreadSheetFormatSettings());
        ASSERT_NE(parsed.formula.Tokens(), nullptr);
        EXPECT_EQ(parsed.formula.Tokens()->Kind(), c.kind);
        EXPECT_EQ(parsed.formula.Tokens()->Next(), nullptr);
    }
}

TEST(SpreadSheetFormulaParserTest, FloatText)
{
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        { 0, "0" },
        { 0.1, "0.1" },
        { 0.5, "0.5" },
        { -2.5, "-2.5" },
        { 1.0 / 3, "0.333333333" },
        { 2.0 / 3, "0.666666667" },
        { 4.0 / 3, "1.333333333" },
        { 10.0 / 3, "3.333333333" },
        { 100.0 / 3, "33.33333333" },
        { 3.14159265358979, "3.141592654" },
        { 1234567.891, "1234567.891" },
        { 99999.999999, "100000" },
        { 2.5e-5, "0.000025" },
        { 1e11, "100000000000" },
        { 123456789012.0, "1.23457E+11" },
        { 1e20, "1E+20" },
        { -1.5e20, "-1.5E+20" },
        { 1e-9, "0.000000001" },
        { 1.5e-9, "1.5E-09" },
        { 1e-11, "1E-11" },
        { 1.23456789e-12, "1.23457E-12" },
        { 9.999999e15, "1E+16" },
        { 0.00000000049, "4.9E-10" },
    };
    const SpreadSheetFormatSettings settings;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SpreadSheetFormulaTextStack stack;
        SpreadSheetFormulaFloatValueToken(c.value).BuildText(stack, settings);
        EXPECT_EQ(stack.join(QString()), QString::fromUtf8(c.text));
    }
    SpreadSheetFormulaTextStack stack;
    SpreadSheetFormulaFloatValueToken(1.25e-10).BuildText(
        stack, SpreadSheetFormatSettings(LocaleData::ForName(QStringLiteral("ru_RU"))));
    EXPECT_EQ(stack.join(QString()), QStringLiteral("1,25E-10"));
}

TEST(SpreadSheetFormulaParserTest, FunctionPrefixes)
{
    const ParsedFormula prefixed(QStringLiteral("=_xlfn.STDEV.S(A1:A3)"), SpreadSheetFormatSettings());
    const ParsedFormula plain(QStringLiteral("=stdev.s(A1:A3)"), SpreadSheetFormatSettings());
    ASSERT_EQ(prefixed.formula.Tokens()->Kind(), tkFunction);
    ASSERT_EQ(plain.formula.Tokens()->Kind(), tkFunction);
    EXPECT_EQ(static_cast<const SpreadSheetFormulaFunctionToken*>(prefixed.formula.Tokens())->Information(),
        static_cast<const SpreadSheetFormulaFunctionToken*>(plain.formula.Tokens())->Information());
    EXPECT_EQ(prefixed.Text(), QStringLiteral("=STDEV.S(A1:A3)"));

    SpreadSheetFormatSettings files;
    files.ExpandFunctionPrefixes = true;
    struct Case {
        const char* text;
        const char* printed;
    };
    const Case cases[] = {
        { "=STDEV.S(A1:A3)", "=_xlfn.STDEV.S(A1:A3)" },
        { "=_xlfn.STDEV.S(A1:A3)", "=_xlfn.STDEV.S(A1:A3)" },
        { "=SUM(STDEV.S(1,2),STDEV(1,2))", "=SUM(_xlfn.STDEV.S(1,2),STDEV(1,2))" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParsedFormula(QString::fromUtf8(c.text), files).Text(), QString::fromUtf8(c.printed));
    }
}

// ---------------------------------------------------------------------------------------------
// Limits

QString Repeated(const QString& part, int count, const QString& separator = QString())
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts << part;
    return parts.join(separator);
}

TEST(SpreadSheetFormulaParserTest, Limits)
{
    struct Case {
        const char* name;
        QString text;
        bool refused;
    };
    const QString chain127 = Repeated(QStringLiteral("A1"), 127, QStringLiteral("+")); // 253 tokens
    const Case cases[] = {
        { "8192 characters", QStringLiteral("=\"") + QString(8190, u'x') + u'"', false },
        { "8193 characters", QStringLiteral("=\"") + QString(8191, u'x') + u'"', true },
        { "8193 digits", QStringLiteral("=") + QString(8193, u'1'), true },
        { "64 nested parentheses", QStringLiteral("=") + QString(64, u'(') + u'1' + QString(64, u')'), false },
        { "65 nested parentheses", QStringLiteral("=") + QString(65, u'(') + u'1' + QString(65, u')'), true },
        { "4000 nested parentheses", QStringLiteral("=") + QString(4000, u'(') + u'1' + QString(4000, u')'), true },
        { "65 nested calls", QStringLiteral("=") + Repeated(QStringLiteral("ABS("), 65) + u'1' + QString(65, u')'),
            true },
        { "64 nested arrays and calls",
            QStringLiteral("=") + Repeated(QStringLiteral("SUM("), 63) + QStringLiteral("{1}") + QString(63, u')'),
            false },
        { "65 nested arrays and calls",
            QStringLiteral("=") + Repeated(QStringLiteral("SUM("), 64) + QStringLiteral("{1}") + QString(64, u')'),
            true },
        { "253 tokens in a chain", QStringLiteral("=") + chain127, false },
        { "255 tokens in a chain", QStringLiteral("=") + chain127 + QStringLiteral("+1"), true },
        { "254 arguments", QStringLiteral("=SUM(") + Repeated(QStringLiteral("1"), 254, QStringLiteral(",")) + u')',
            false },
        { "255 arguments", QStringLiteral("=SUM(") + Repeated(QStringLiteral("1"), 255, QStringLiteral(",")) + u')',
            true },
        { "2032 references", QStringLiteral("=SUM(") + Repeated(chain127, 16, QStringLiteral(",")) + u')', false },
        { "2159 references", QStringLiteral("=SUM(") + Repeated(chain127, 17, QStringLiteral(",")) + u')', true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SpreadSheetCustomFormula formula(nullptr);
        SpreadSheetCustomFormulaParser parser { SpreadSheetFormatSettings() };
        if (!c.refused) {
            ASSERT_TRUE(parser.ParseFormula(c.text, formula));
            EXPECT_EQ(parser.ErrorCode(), pecNone);
            EXPECT_NE(formula.Tokens(), nullptr);
            EXPECT_EQ(formula.AsText(), c.text);
            continue;
        }
        try {
            parser.ParseFormula(c.text, formula);
            ADD_FAILURE() << "not refused";
        } catch (const ESpreadSheetFormulaIsTooLongError& error) {
            EXPECT_EQ(error.Message(), c.text);
        }
        EXPECT_EQ(formula.Tokens(), nullptr);
    }
}

// ---------------------------------------------------------------------------------------------
// A parser bound to a workbook

class SpreadSheetWorkbookFormulaParserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        book_ = test::MakeBook();
        book_->Sheets(0)->SetCaption(QStringLiteral("Sheet1"));
        book_->AddSheet(QStringLiteral("My Sheet"));
        book_->AddSheet(QStringLiteral("Data"));
        book_->AddSheet(QStringLiteral("AB1"));
    }

    // A formula on the first sheet at A1.
    std::unique_ptr<SpreadSheetExpressionFormula> Parse(const QString& text, SpreadSheetFormulaParser& parser)
    {
        auto formula = std::make_unique<SpreadSheetExpressionFormula>(nullptr, book_->Sheets(0), 0, 0);
        EXPECT_TRUE(parser.ParseFormula(text, *formula));
        return formula;
    }

    std::unique_ptr<SpreadSheet> book_;
};

TEST_F(SpreadSheetWorkbookFormulaParserTest, SheetPrefixesBindSheets)
{
    struct Case {
        const char* text;
        const char* chain;
        const char* printed;
        int sheet; // the sheet the first reference reads from; -1 for none
    };
    const Case cases[] = {
        { "='My Sheet'!A1", "'My Sheet'!A1", "='My Sheet'!A1", 1 },
        { "='my sheet'!A1*2", "'My Sheet'!A1 2 *", "='My Sheet'!A1*2", 1 },
        { "=Data!A1:B2", "Data!A1:B2", "=Data!A1:B2", 2 },
        { "=data!$a$1", "Data!$A$1", "=Data!$A$1", 2 },
        { "=Sheet1!A:A", "Sheet1!A:A", "=Sheet1!A:A", 0 },
        { "=Data!1:3", "Data!1:3", "=Data!1:3", 2 },
        { "=Data!$2:$3", "Data!$2:$3", "=Data!$2:$3", 2 },
        { "='Data'!A1", "Data!A1", "=Data!A1", 2 },
        { "=AB1!A1", "AB1!A1", "=AB1!A1", 3 },
        { "='My Sheet'!A1:'My Sheet'!B2", "'My Sheet'!A1:B2", "='My Sheet'!A1:B2", 1 },
        { "=A1:Data!B2", "Data!A1:B2", "=Data!A1:B2", 2 },
        { "=Data!A1:Sheet1!B2", "Data!A1:Sheet1!B2", "=Data!A1:Sheet1!B2", 2 },
        { "=SUM(Data!A1,Sheet1!B2)", "SUM(Data!A1, Sheet1!B2)", "=SUM(Data!A1,Sheet1!B2)", -1 },
        { "=Data!Foo", "?Data!Foo", "=Data!Foo", -1 },
        { "=Data!#REF!", "Data!#REF!", "=Data!#REF!", -1 },
        { "=Missing!A1", "#REF!A1", "=#REF!A1", -1 },
        { "='No such'!A1:B2", "#REF!A1:B2", "=#REF!A1:B2", -1 },
    };
    SpreadSheetFormulaParser parser(book_.get());
    const SpreadSheetFormatSettings& settings = parser.FormatSettings();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::unique_ptr<SpreadSheetExpressionFormula> formula = Parse(QString::fromUtf8(c.text), parser);
        ASSERT_EQ(parser.ErrorCode(), pecNone);
        EXPECT_EQ(DescribeChain(formula->Tokens(), settings), QString::fromUtf8(c.chain));
        EXPECT_EQ(formula->AsText(), QString::fromUtf8(c.printed));
        if (c.sheet >= 0) {
            const auto* reference = static_cast<const SpreadSheetFormulaReferenceToken*>(formula->Tokens());
            ASSERT_TRUE(reference->Kind() == tk3DReference || reference->Kind() == tk3DAreaReference);
            EXPECT_EQ(reference->TargetView(), book_->Sheets(c.sheet));
        }
        std::unique_ptr<SpreadSheetExpressionFormula> again = Parse(formula->AsText(), parser);
        EXPECT_EQ(DescribeChain(again->Tokens(), settings), DescribeChain(formula->Tokens(), settings));
    }
}

TEST_F(SpreadSheetWorkbookFormulaParserTest, ReferencesOutsideASheetFollowTheDefaultSheet)
{
    SpreadSheetFormulaParser parser(book_.get());
    SpreadSheetCustomFormula name(nullptr); // like a defined name: no sheet of its own
    ASSERT_TRUE(parser.ParseFormula(QStringLiteral("=A1:B2+C3+Data!D4"), name));
    const SpreadSheetFormulaToken* area = name.Tokens();
    ASSERT_EQ(area->Kind(), tk3DAreaReference);
    EXPECT_TRUE(static_cast<const SpreadSheetFormulaReferenceToken*>(area)->Link()->IsAuto());
    EXPECT_EQ(area->Next()->Kind(), tk3DReference);
    EXPECT_EQ(name.AsText(), QStringLiteral("=A1:B2+C3+Data!D4"));
    book_->SetActiveSheetIndex(2);
    EXPECT_EQ(static_cast<const SpreadSheetFormulaReferenceToken*>(area)->TargetView(), book_->Sheets(2));

    // An explicit sheet at one end of a range wins over the default one.
    ASSERT_TRUE(parser.ParseFormula(QStringLiteral("=A1:'My Sheet'!B2"), name));
    const auto* range = static_cast<const SpreadSheetFormula3DAreaReferenceToken*>(name.Tokens());
    ASSERT_EQ(range->Kind(), tk3DAreaReference);
    EXPECT_FALSE(range->Link()->IsAuto());
    EXPECT_EQ(range->Link2(), nullptr);
    EXPECT_EQ(name.AsText(), QStringLiteral("='My Sheet'!A1:B2"));

    // A formula on a sheet keeps plain references.
    std::unique_ptr<SpreadSheetExpressionFormula> onSheet = Parse(QStringLiteral("=A1"), parser);
    EXPECT_EQ(onSheet->Tokens()->Kind(), tkReference);
}

TEST_F(SpreadSheetWorkbookFormulaParserTest, ADeletedSheetPrintsAsReferenceError)
{
    SpreadSheetFormulaParser parser(book_.get());
    std::unique_ptr<SpreadSheetExpressionFormula> formula = Parse(QStringLiteral("=SUM(Data!A1:B2)+Data!C3"), parser);
    ASSERT_EQ(parser.ErrorCode(), pecNone);
    book_->DeleteSheet(book_->Sheets(2));
    EXPECT_EQ(formula->AsText(), QStringLiteral("=SUM(#REF!A1:B2)+#REF!C3"));
}

TEST_F(SpreadSheetWorkbookFormulaParserTest, ConvenienceFollowsTheFormula)
{
    // Without a workbook the formula's own (invariant) settings are used.
    SpreadSheetCustomFormula alone(nullptr);
    ASSERT_TRUE(ParseFormula(QStringLiteral("=SUM(1,2)"), alone));
    EXPECT_EQ(alone.AsText(), QStringLiteral("=SUM(1,2)"));
    EXPECT_FALSE(ParseFormula(QStringLiteral("SUM(1,2)"), alone));
}

} // namespace
} // namespace quorvel
