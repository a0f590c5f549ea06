#include "formulas/SpreadSheetReferences.h"
#include "formulas/SpreadSheetFormatSettings.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

// Readable failures; internal linkage keeps it out of other test files' way.
static void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace quorvel {
namespace {

constexpr bool kA1 = false;
constexpr bool kR1C1 = true;

// Compact spelling of a component for tables: "$5" absolute index 5, "-1" relative offset -1,
// "*" whole-line, "!" error.
std::string Describe(const SpreadSheetReference& ref)
{
    if (ref.IsError())
        return "!";
    if (ref.IsAllItems())
        return "*";
    return (ref.IsAbsolute() ? "$" : "") + std::to_string(ref.Offset());
}

SpreadSheetReference Component(const std::string& spelling)
{
    if (spelling == "*")
        return SpreadSheetReference::AllItems();
    const bool absolute = spelling.front() == '$';
    return SpreadSheetReference::Create(std::stoi(spelling.substr(absolute ? 1 : 0)), absolute);
}

// --- Reference component ---

TEST(SpreadSheetReference, OffsetSentinelSetsAndClearsWholeLine)
{
    SpreadSheetReference ref;
    ref.SetOffset(kWholeLineIndex);
    EXPECT_TRUE(ref.IsAllItems());
    EXPECT_EQ(ref.ActualValue(7), kWholeLineIndex);
    ref.SetOffset(3);
    EXPECT_FALSE(ref.IsAllItems());
    ref.SetIsAllItems(true);
    EXPECT_EQ(ref.Offset(), 3);
    EXPECT_EQ(ref.ActualValue(0), kWholeLineIndex);
}

TEST(SpreadSheetReference, ActualValueByKind)
{
    struct Case {
        SpreadSheetReference ref;
        int origin;
        int expected;
    };
    SpreadSheetReference error = SpreadSheetReference::Create(5, true);
    error.SetIsError(true);
    const std::vector<Case> cases = {
        { SpreadSheetReference::Create(5, true), 100, 5 },
        { SpreadSheetReference::Create(5, false), 100, 105 },
        { SpreadSheetReference::Create(-3, false), 10, 7 },
        { SpreadSheetReference::AllItems(), 10, kWholeLineIndex },
        { error, 10, kErrorIndex },
        { SpreadSheetReference::Invalid(), 0, std::numeric_limits<int>::min() },
        { SpreadSheetReference::Invalid(), kMaxRowIndex, kMaxRowIndex + std::numeric_limits<int>::min() },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.ref.ActualValue(c.origin), c.expected) << Describe(c.ref) << " from " << c.origin;
}

TEST(SpreadSheetReference, CreateAgainstOriginAndLastIndex)
{
    struct Case {
        int index;
        int origin;
        int maxIndex;
        std::string expected;
    };
    const std::vector<Case> cases = {
        { 5, -1, kMaxRowIndex, "$5" },
        { 5, 2, kMaxRowIndex, "3" },
        { 0, 4, kMaxRowIndex, "-4" },
        { kMaxRowIndex, -1, kMaxRowIndex, "*" }, // the last index reads as the whole line
        { kMaxRowIndex, 0, kMaxRowIndex, "*" },
        { kMaxRowIndex, 1, kMaxRowIndex, "1048574" },
        { kWholeLineIndex, 5, kMaxColumnIndex, "*" },
        { kMaxColumnIndex - 1, -1, kMaxColumnIndex, "$16382" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(Describe(SpreadSheetReference::Create(c.index, c.origin, c.maxIndex)), c.expected)
            << c.index << " from " << c.origin;
}

TEST(SpreadSheetReference, EqualityNeedsFlagsAndOffset)
{
    EXPECT_EQ(SpreadSheetReference::Create(3, true), SpreadSheetReference::Create(3, true));
    EXPECT_NE(SpreadSheetReference::Create(3, true), SpreadSheetReference::Create(3, false));
    EXPECT_NE(SpreadSheetReference::Create(3, false), SpreadSheetReference::Create(4, false));
    SpreadSheetReference allItems = SpreadSheetReference::Create(0, false);
    allItems.SetIsAllItems(true);
    EXPECT_EQ(allItems, SpreadSheetReference::AllItems());
    EXPECT_NE(SpreadSheetReference::Invalid(), SpreadSheetReference());
    SpreadSheetReference reset = SpreadSheetReference::AllItems();
    reset.Reset();
    EXPECT_EQ(reset, SpreadSheetReference());
}

TEST(SpreadSheetReference, SetActualValueKeepsErrorForGood)
{
    SpreadSheetReference relative = SpreadSheetReference::Create(0, false);
    relative.SetActualValue(10, 4);
    EXPECT_EQ(relative.Offset(), -6);
    EXPECT_FALSE(relative.IsError());
    relative.SetActualValue(10, -1);
    EXPECT_TRUE(relative.IsError());
    relative.SetActualValue(10, 4);
    EXPECT_TRUE(relative.IsError());
    EXPECT_EQ(relative.ActualValue(10), kErrorIndex);

    SpreadSheetReference absolute = SpreadSheetReference::Create(0, true);
    absolute.SetActualValue(10, 4);
    EXPECT_EQ(absolute.Offset(), 4);
}

TEST(SpreadSheetReference, MoveOnlyShiftsPlainRelativeComponents)
{
    SpreadSheetReference error = SpreadSheetReference::Create(1, false);
    error.SetIsError(true);
    const std::vector<std::pair<SpreadSheetReference, int>> cases = {
        { SpreadSheetReference::Create(1, false), 4 },
        { SpreadSheetReference::Create(1, true), 1 },
        { SpreadSheetReference::AllItems(), 0 },
        { error, 1 },
    };
    for (auto [ref, expectedOffset] : cases) {
        ref.Move(3);
        EXPECT_EQ(ref.Offset(), expectedOffset) << Describe(ref);
    }
}

// --- Column names ---

TEST(SpreadSheetColumnReferences, EveryColumnRoundTrips)
{
    for (int index = 0; index <= kMaxColumnIndex; ++index) {
        const QString name = SpreadSheetColumnReferences::NameByIndex(index);
        ASSERT_EQ(SpreadSheetColumnReferences::IndexByName(name), index) << name.toStdString();
        ASSERT_EQ(SpreadSheetColumnReferences::IndexByName(name.toLower()), index) << name.toStdString();
        const QString number = SpreadSheetColumnReferences::NameByIndex(index, kR1C1);
        ASSERT_EQ(number, QString::number(index + 1));
        ASSERT_EQ(SpreadSheetColumnReferences::IndexByName(number, kR1C1), index);
    }
}

TEST(SpreadSheetColumnReferences, KnownLetters)
{
    const std::vector<std::pair<int, const char*>> cases = { { 0, "A" }, { 25, "Z" }, { 26, "AA" }, { 51, "AZ" },
        { 52, "BA" }, { 701, "ZZ" }, { 702, "AAA" }, { 16383, "XFD" } };
    for (const auto& [index, name] : cases) {
        EXPECT_EQ(SpreadSheetColumnReferences::NameByIndex(index), QString::fromLatin1(name));
        EXPECT_EQ(SpreadSheetColumnReferences::IndexByName(QString::fromLatin1(name)), index);
    }
}

TEST(SpreadSheetColumnReferences, BareColumnsOnly)
{
    const std::vector<std::pair<const char*, int>> accepted = { { "$C", 2 }, { "A$", 0 }, { "xfd", 16383 } };
    for (const auto& [name, index] : accepted)
        EXPECT_EQ(SpreadSheetColumnReferences::IndexByName(QString::fromLatin1(name)), index) << name;

    const std::vector<const char*> refusedA1
        = { "", "A1", "1", "$1", "XFE", "ZZZ", "ABCD", "$", "$$A", "A:B", "A ", " A", "A-", "R1C1" };
    for (const char* name : refusedA1) {
        int index = 77;
        EXPECT_FALSE(SpreadSheetColumnReferences::TryIndexByName(QString::fromLatin1(name), index)) << name;
        EXPECT_EQ(index, 77) << name;
        EXPECT_EQ(SpreadSheetColumnReferences::IndexByName(QString::fromLatin1(name)), -1) << name;
    }
    EXPECT_EQ(SpreadSheetColumnReferences::IndexByName(QStringLiteral("Ä")), -1);

    const std::vector<const char*> refusedR1C1 = { "", "0", "16385", "C3", "A", "+3", "-1", "3 ", "999999" };
    for (const char* name : refusedR1C1)
        EXPECT_EQ(SpreadSheetColumnReferences::IndexByName(QString::fromLatin1(name), kR1C1), -1) << name;
}

// --- Reader ---

struct ParseCase {
    const char* text;
    int end; // position after the reference, -1 for a refused text
    const char* row;
    const char* column;
};

void CheckParse(const std::vector<ParseCase>& cases, bool r1c1)
{
    for (const ParseCase& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        SpreadSheetReference row;
        SpreadSheetReference column;
        int pos = 0;
        const bool ok = SpreadSheetReferenceParser::Parse(text, pos, int(text.size()) - 1, row, column, r1c1);
        if (c.end < 0) {
            EXPECT_FALSE(ok) << c.text;
            EXPECT_EQ(pos, 0) << c.text;
            continue;
        }
        ASSERT_TRUE(ok) << c.text;
        EXPECT_EQ(pos, c.end) << c.text;
        EXPECT_EQ(Describe(row), c.row) << c.text;
        EXPECT_EQ(Describe(column), c.column) << c.text;
    }
}

TEST(SpreadSheetReferenceParser, A1Texts)
{
    CheckParse(
        {
            { "A1", 2, "0", "0" },
            { "$A$1", 4, "$0", "$0" },
            { "A$1", 3, "$0", "0" },
            { "$A1", 3, "0", "$0" },
            { "C", 1, "*", "2" },
            { "$C", 2, "*", "$2" },
            { "A$", 2, "*", "0" },
            { "$A$", 3, "*", "$0" },
            { "12", 2, "11", "*" },
            { "5", 1, "4", "*" },
            { "$5", 2, "$4", "*" },
            { "XFD1048576", 10, "1048575", "16383" },
            { "ZZZ1", 4, "0", "18277" }, // three letters read; the grid check is the caller's
            { "A0", 2, "-1", "0" },
            { "A1:B2", 2, "0", "0" },
            { "AB12)", 4, "11", "27" },
            { "A1 ", 2, "0", "0" },
            { "Ab", 1, "*", "0" }, // lower case ends a reference
            { "A1B", -1, "", "" },
            { "ABCD1", -1, "", "" },
            { "$$A1", -1, "", "" },
            { "A$$1", -1, "", "" },
            { "A1$", -1, "", "" },
            { "1A", -1, "", "" },
            { "", -1, "", "" },
            { "$", -1, "", "" },
            { "$:", -1, "", "" },
            { ":A1", -1, "", "" },
            { "a1", -1, "", "" },
            { "A123456789012", -1, "", "" },
        },
        kA1);
}

TEST(SpreadSheetReferenceParser, R1C1Texts)
{
    CheckParse(
        {
            { "RC", 2, "0", "0" },
            { "R", 1, "0", "*" },
            { "C", 1, "*", "0" },
            { "R2C3", 4, "$1", "$2" },
            { "R[-1]C[2]", 9, "-1", "2" },
            { "R[]C[]", 6, "0", "0" },
            { "R[-]C", 5, "0", "0" },
            { "R[+2]C", 6, "2", "0" },
            { "R[-2]C", 6, "-2", "0" },
            { "R5", 2, "$4", "*" },
            { "C[-3]", 5, "*", "-3" },
            { "R1048576C16384", 14, "$1048575", "$16383" },
            { "R1C1-R1C2", 4, "$0", "$0" },
            { "R1C1+1", 4, "$0", "$0" },
            { "R1:R3", 2, "$0", "*" },
            { "RC)", 2, "0", "0" },
            { "R0C1", 4, "$-1", "$0" },
            { "R1C1X", -1, "", "" },
            { "R[1]5", -1, "", "" },
            { "C[1]R1", -1, "", "" },
            { "CR", -1, "", "" },
            { "RR", -1, "", "" },
            { "RX", -1, "", "" },
            { "R[1", -1, "", "" },
            { "R[1]C[", -1, "", "" },
            { "R[--1]", -1, "", "" },
            { "R[1-]", -1, "", "" },
            { "R]", -1, "", "" },
            { "[1]", -1, "", "" },
            { "1", -1, "", "" },
            { "A1", -1, "", "" },
            { "", -1, "", "" },
            { "R123456789012", -1, "", "" },
        },
        kR1C1);
}

TEST(SpreadSheetReferenceParser, ReadsWithinTheGivenSpan)
{
    SpreadSheetReference row;
    SpreadSheetReference column;
    const QString formula = QStringLiteral("=SUM(B2:C3)");
    int pos = 5;
    ASSERT_TRUE(SpreadSheetReferenceParser::Parse(formula, pos, 9, row, column, kA1));
    EXPECT_EQ(pos, 7);
    EXPECT_EQ(Describe(row), "1");
    EXPECT_EQ(Describe(column), "1");

    // Characters past the finish position count as the end of the text.
    pos = 0;
    ASSERT_TRUE(SpreadSheetReferenceParser::Parse(QStringLiteral("A12"), pos, 1, row, column, kA1));
    EXPECT_EQ(pos, 2);
    EXPECT_EQ(Describe(row), "0");
    pos = 0;
    ASSERT_TRUE(SpreadSheetReferenceParser::Parse(QStringLiteral("R1C1X"), pos, 3, row, column, kR1C1));
    EXPECT_EQ(pos, 4);
}

// --- Text builder ---

TEST(SpreadSheetReferenceAsString, CellTextsRoundTrip)
{
    struct Case {
        const char* text;
        bool r1c1;
    };
    const std::vector<Case> cases = {
        { "A1", kA1 },
        { "$A$1", kA1 },
        { "A$1", kA1 },
        { "$A1", kA1 },
        { "C", kA1 },
        { "$C", kA1 },
        { "12", kA1 },
        { "$12", kA1 },
        { "XFD1048576", kA1 },
        { "$XFD$1048576", kA1 },
        { "RC", kR1C1 },
        { "R", kR1C1 },
        { "C", kR1C1 },
        { "R2C3", kR1C1 },
        { "R[-1]C[2]", kR1C1 },
        { "R[2]C", kR1C1 },
        { "RC[-5]", kR1C1 },
        { "R5", kR1C1 },
        { "C[3]", kR1C1 },
        { "R1048576C16384", kR1C1 },
    };
    const std::vector<QString> prefixes = { QString(), QStringLiteral("Data!"), QStringLiteral("'My Sheet'!") };
    for (const Case& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        SpreadSheetReference row;
        SpreadSheetReference column;
        int pos = 0;
        ASSERT_TRUE(SpreadSheetReferenceParser::Parse(text, pos, int(text.size()) - 1, row, column, c.r1c1)) << c.text;
        // R1C1 offsets are read from an owner away from the grid's edge, so negative ones stay inside it.
        const int origin = c.r1c1 ? 10 : 0;
        for (const QString& prefix : prefixes)
            EXPECT_EQ(SpreadSheetReferenceAsString::Build(prefix, row, column, origin, origin, c.r1c1), prefix + text)
                << c.text;
    }
}

TEST(SpreadSheetReferenceAsString, CellTexts)
{
    struct Case {
        const char* row;
        const char* column;
        int rowOrigin;
        int columnOrigin;
        const char* a1;
        const char* r1c1;
    };
    const std::vector<Case> cases = {
        { "-1", "2", 4, 3, "F4", "R[-1]C[2]" },
        { "0", "0", 4, 3, "D5", "RC" },
        { "$4", "2", 9, 0, "C$5", "R5C[2]" },
        { "*", "-1", 9, 3, "C", "C[-1]" },
        { "2", "*", 0, 0, "3", "R[2]" },
        { "*", "$2", 7, 7, "$C", "C3" },
        { "-5", "0", 4, 0, "#REF!", "#REF!" }, // above the first row
        { "0", "-4", 0, 3, "#REF!", "#REF!" },
    };
    for (const Case& c : cases) {
        const SpreadSheetReference row = Component(c.row);
        const SpreadSheetReference column = Component(c.column);
        EXPECT_EQ(SpreadSheetReferenceAsString::Build(QString(), row, column, c.rowOrigin, c.columnOrigin, kA1),
            QString::fromLatin1(c.a1))
            << c.row << " " << c.column;
        EXPECT_EQ(SpreadSheetReferenceAsString::Build(QString(), row, column, c.rowOrigin, c.columnOrigin, kR1C1),
            QString::fromLatin1(c.r1c1))
            << c.row << " " << c.column;
    }
}

TEST(SpreadSheetReferenceAsString, ErrorKeepsItsPrefix)
{
    SpreadSheetReference deleted = SpreadSheetReference::Create(6, false);
    deleted.SetIsError(true);
    const SpreadSheetReference column = SpreadSheetReference::Create(0, false);
    EXPECT_EQ(SpreadSheetReferenceAsString::Build(u"Data!", deleted, column, 0, 0, kA1), QStringLiteral("Data!#REF!"));
    EXPECT_EQ(SpreadSheetReferenceAsString::Build(u"", column, SpreadSheetReference::Invalid(), 3, 3, kR1C1),
        QStringLiteral("#REF!"));

    QString buffer = QStringLiteral("=");
    SpreadSheetReferenceAsString::Build(buffer, u"", column, column, 0, 0, kA1);
    EXPECT_EQ(buffer, QStringLiteral("=A1"));
}

TEST(SpreadSheetReferenceAsString, AreasOfCorners)
{
    struct Case {
        const char* prefix1;
        const char* first;
        const char* prefix2;
        const char* last;
        bool r1c1;
        const char* expected;
    };
    const std::vector<Case> cases = {
        { "", "A1", "", "B2", kA1, "A1:B2" },
        { "", "A1", "", "A1", kA1, "A1:A1" },
        { "", "R1C1", "", "R1C1", kR1C1, "R1C1" },
        { "", "RC", "", "RC", kR1C1, "RC" },
        { "Data!", "R1C1", "", "R1C1", kR1C1, "Data!R1C1" },
        { "Data!", "R1C1", "Data!", "R1C1", kR1C1, "Data!R1C1" },
        { "Data!", "R1C1", "Other!", "R1C1", kR1C1, "Data!R1C1:Other!R1C1" },
        { "Data!", "A1", "", "B2", kA1, "Data!A1:B2" },
        { "'My Sheet'!", "$A$1", "'Sheet 2'!", "$B$2", kA1, "'My Sheet'!$A$1:'Sheet 2'!$B$2" },
        { "", "A", "", "C", kA1, "A:C" },
        { "", "$1", "", "$3", kA1, "$1:$3" },
        { "", "C1", "", "C3", kR1C1, "C1:C3" },
        { "", "R[-1]", "", "R[1]", kR1C1, "#REF!:R[1]" }, // from the first row, one row up is off the grid
        { "", "R1C1", "", "R2C[1]", kR1C1, "R1C1:R2C[1]" },
    };
    for (const Case& c : cases) {
        SpreadSheetCellReference first;
        SpreadSheetCellReference last;
        const QString firstText = QString::fromLatin1(c.first);
        const QString lastText = QString::fromLatin1(c.last);
        int pos = 0;
        ASSERT_TRUE(SpreadSheetReferenceParser::Parse(
            firstText, pos, int(firstText.size()) - 1, first.row, first.column, c.r1c1));
        pos = 0;
        ASSERT_TRUE(
            SpreadSheetReferenceParser::Parse(lastText, pos, int(lastText.size()) - 1, last.row, last.column, c.r1c1));
        EXPECT_EQ(SpreadSheetReferenceAsString::BuildArea(QString::fromLatin1(c.prefix1), first.row, first.column,
                      QString::fromLatin1(c.prefix2), last.row, last.column, 0, 0, c.r1c1),
            QString::fromLatin1(c.expected))
            << c.expected;
    }
}

TEST(SpreadSheetReferenceAsString, AreaWithDeletedEnds)
{
    const SpreadSheetReference a = SpreadSheetReference::Create(0, false);
    SpreadSheetReference deleted = a;
    deleted.SetIsError(true);
    EXPECT_EQ(
        SpreadSheetReferenceAsString::BuildArea(u"", a, a, u"", deleted, a, 0, 0, kA1), QStringLiteral("A1:#REF!"));
    EXPECT_EQ(SpreadSheetReferenceAsString::BuildArea(u"Data!", deleted, a, u"", deleted, a, 0, 0, kA1),
        QStringLiteral("Data!#REF!"));
}

TEST(SpreadSheetReferenceAsString, AreaTexts)
{
    struct Case {
        SpreadSheetArea area;
        SpreadSheetReferenceTextFlags flags;
        const char* a1;
        const char* r1c1;
    };
    constexpr unsigned kAbsolute = rtfAbsoluteColumns | rtfAbsoluteRows;
    const std::vector<Case> cases = {
        { { 1, 1, 1, 1 }, 0, "B2", "R[1]C[1]" },
        { { 1, 1, 1, 1 }, kAbsolute, "$B$2", "R2C2" },
        { { 0, 0, 2, 4 }, 0, "A1:C5", "RC:R[4]C[2]" },
        { { 0, 0, 2, 4 }, rtfAbsoluteColumns, "$A1:$C5", "RC1:R[4]C3" },
        { { 0, 0, 2, 4 }, rtfAbsoluteRows, "A$1:C$5", "R1C:R5C[2]" },
        { { 0, 0, 1, kMaxRowIndex }, 0, "A:B", "C:C[1]" },
        { { 0, 0, 1, kWholeLineIndex }, kAbsolute, "$A:$B", "C1:C2" },
        { { 3, 0, 3, kWholeLineIndex }, kAbsolute, "$D:$D", "C4:C4" },
        { { 0, 0, kMaxColumnIndex, 2 }, 0, "1:3", "R:R[2]" },
        { { 0, 4, kWholeLineIndex, 4 }, kAbsolute, "$5:$5", "R5:R5" },
        { { 0, 0, kMaxColumnIndex, kMaxRowIndex }, 0, "A1:XFD1048576", "RC:R[1048575]C[16383]" },
        { { 0, 0, kMaxColumnIndex, kMaxRowIndex }, kAbsolute, "$A$1:$XFD$1048576", "R1C1:R1048576C16384" },
        { { 1, 1, 1, kMaxRowIndex }, kAbsolute, "$B$2:$B$1048576", "R2C2:R1048576C2" },
        { { 1, 1, 1, kWholeLineIndex }, kAbsolute, "$B$2:$B$1048576", "R2C2:R1048576C2" },
        { { 3, 0, 3, 9 }, 0, "D1:D10", "RC[3]:R[9]C[3]" },
        { { kMaxColumnIndex, kMaxRowIndex, kMaxColumnIndex, kMaxRowIndex }, kAbsolute, "$XFD$1048576",
            "R1048576C16384" },
        { { 0, kWholeLineIndex, 0, kWholeLineIndex }, kAbsolute, "$A", "C1" },
        { { 0, 0, 1, 1 }, rtfSheetName | kAbsolute, "'Data'!$A$1:$B$2", "'Data'!R1C1:R2C2" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AreaToReferenceText(c.area, kA1, c.flags, QStringLiteral("Data")), QString::fromLatin1(c.a1)) << c.a1;
        EXPECT_EQ(AreaToReferenceText(c.area, kR1C1, c.flags, QStringLiteral("Data")), QString::fromLatin1(c.r1c1))
            << c.a1;
    }
}

TEST(SpreadSheetReferenceAsString, AreaOfIndexesFromAnOrigin)
{
    QString text;
    SpreadSheetReferenceAsString::Build(text, u"Data!", SpreadSheetArea { 2, 3, 4, 5 }, 4, 2, kR1C1);
    EXPECT_EQ(text, QStringLiteral("Data!R[-1]C:R[1]C[2]"));
    text.clear();
    SpreadSheetReferenceAsString::Build(text, u"", SpreadSheetArea { 2, 3, 4, 5 }, 4, 2, kA1);
    EXPECT_EQ(text, QStringLiteral("C4:E6"));
}

// --- Sheet prefixes ---

TEST(SpreadSheetReferenceAsString, ViewPrefixes)
{
    struct Case {
        const char* name;
        DefaultBoolean delimited;
        const char* expected;
    };
    const std::vector<Case> cases = {
        { "Data", bFalse, "Data!" },
        { "My Sheet", bTrue, "'My Sheet'!" },
        { "Data", bDefault, "'Data'!" },
        { "It's", bTrue, "'It's'!" },
        { "", bTrue, "" },
        { "", bFalse, "" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(SpreadSheetReferenceAsString::BuildViewReference(QString::fromUtf8(c.name), c.delimited),
            QString::fromUtf8(c.expected))
            << c.name;
}

TEST(SpreadSheetReferenceAsString, CaptionQuotingRule)
{
    struct Case {
        const char* caption;
        bool a1;
        bool r1c1;
        bool commaDecimal;
    };
    const std::vector<Case> cases = {
        { "Data", false, false, false },
        { "Sheet1", false, false, false },
        { "Итоги_2024", false, false, false },
        { "My Sheet", true, true, true },
        { "A-B", true, true, true },
        { "Q1.2020", true, true, false }, // the decimal separator
        { "Q1,2020", true, true, true }, // the list separator, then the decimal separator
        { "Sales(EU)", true, true, true },
        { "It's", true, true, true },
        { "Net!", true, true, true },
        { "[x]", true, false, true }, // brackets belong to R1C1 references
        { "50%", true, true, true },
        { "a&b", true, true, true },
        { "", false, false, false },
    };
    SpreadSheetFormatSettings a1;
    SpreadSheetFormatSettings r1c1;
    r1c1.SetR1C1Reference(true);
    SpreadSheetFormatSettings commaDecimal;
    commaDecimal.SetDecimalSeparator(u',');
    commaDecimal.SetListSeparator(u';');
    for (const Case& c : cases) {
        const QString caption = QString::fromUtf8(c.caption);
        EXPECT_EQ(SpreadSheetReferenceAsString::IsCaptionTextDelimited(caption, a1), c.a1) << c.caption;
        EXPECT_EQ(SpreadSheetReferenceAsString::IsCaptionTextDelimited(caption, r1c1), c.r1c1) << c.caption;
        EXPECT_EQ(SpreadSheetReferenceAsString::IsCaptionTextDelimited(caption, commaDecimal), c.commaDecimal)
            << c.caption;
    }
    EXPECT_TRUE(SpreadSheetReferenceAsString::CheckIfViewNameMustBeEscaped(u"a b", u" "));
    EXPECT_FALSE(SpreadSheetReferenceAsString::CheckIfViewNameMustBeEscaped(u"a.b", u" "));
}

// --- Whole-text conversions ---

TEST(SpreadSheetReferenceConversions, CellTexts)
{
    struct Case {
        const char* text;
        bool r1c1;
        int row; // -1 for a refused text
        int column;
    };
    const std::vector<Case> cases = {
        { "A1", kA1, 0, 0 },
        { "a1", kA1, 0, 0 },
        { "$c$5", kA1, 4, 2 },
        { "XFD1048576", kA1, kMaxRowIndex, kMaxColumnIndex },
        { "A", kA1, kWholeLineIndex, 0 },
        { "5", kA1, 4, kWholeLineIndex },
        { "R2C3", kR1C1, 1, 2 },
        { "r2c3", kR1C1, 1, 2 },
        { "R[2]C[3]", kR1C1, 2, 3 },
        { "RC", kR1C1, 0, 0 },
        { "R4", kR1C1, 3, kWholeLineIndex },
        { "XFE1", kA1, -1, -1 },
        { "A1048577", kA1, -1, -1 },
        { "A0", kA1, -1, -1 },
        { "A1:B2", kA1, -1, -1 },
        { " A1", kA1, -1, -1 },
        { "A1 ", kA1, -1, -1 },
        { "Data!A1", kA1, -1, -1 },
        { "", kA1, -1, -1 },
        { "A1", kR1C1, -1, -1 },
        { "R1C1", kA1, -1, -1 },
        { "R[-1]C", kR1C1, -1, -1 },
        { "R0C1", kR1C1, -1, -1 },
        { "R1C16385", kR1C1, -1, -1 },
    };
    for (const Case& c : cases) {
        int row = 99;
        int column = 99;
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(TryParseCellReference(text, c.r1c1, row, column), c.row >= 0) << c.text;
        ParseCellReference(text, c.r1c1, row, column);
        EXPECT_EQ(row, c.row) << c.text;
        EXPECT_EQ(column, c.column) << c.text;
    }
}

TEST(SpreadSheetReferenceConversions, AreaTexts)
{
    struct Case {
        const char* text;
        bool r1c1;
        SpreadSheetArea expected;
    };
    const std::vector<Case> cases = {
        { "B2", kA1, { 1, 1, 1, 1 } },
        { "A1:C3", kA1, { 0, 0, 2, 2 } },
        { "$A$1:$C$3", kA1, { 0, 0, 2, 2 } },
        { "C3:A1", kA1, { 0, 0, 2, 2 } },
        { "a:c", kA1, { 0, 0, 2, kWholeLineIndex } },
        { "2:5", kA1, { 0, 1, kWholeLineIndex, 4 } },
        { "A1:XFD1048576", kA1, { 0, 0, kMaxColumnIndex, kMaxRowIndex } },
        { "R1C1:R2C3", kR1C1, { 0, 0, 2, 1 } },
        { "C1:C3", kR1C1, { 0, 0, 2, kWholeLineIndex } },
        { "R2:R4", kR1C1, { 0, 1, kWholeLineIndex, 3 } },
        { "A1:", kA1, kInvalidArea },
        { ":A1", kA1, kInvalidArea },
        { "A1:B2:C3", kA1, kInvalidArea },
        { "A1:XFE1", kA1, kInvalidArea },
        { "A1-B2", kA1, kInvalidArea },
        { "A1:C", kA1, kInvalidArea },
        { "2:B", kA1, kInvalidArea },
        { "B:2", kA1, kInvalidArea },
        { "R1C1:R", kR1C1, kInvalidArea },
        { "C2:R2", kR1C1, kInvalidArea },
        { "", kA1, kInvalidArea },
        { "A1:B2", kR1C1, kInvalidArea },
    };
    for (const Case& c : cases) {
        SpreadSheetArea area;
        EXPECT_EQ(TryParseAreaReference(QString::fromLatin1(c.text), c.r1c1, area), c.expected != kInvalidArea)
            << c.text;
        EXPECT_EQ(ParseAreaReference(QString::fromLatin1(c.text), c.r1c1), c.expected) << c.text;
    }
}

TEST(SpreadSheetReferenceConversions, AreaTextRoundTrips)
{
    const std::vector<SpreadSheetArea> areas = {
        { 0, 0, 0, 0 },
        { 3, 7, 3, 7 },
        { 0, 0, 5, 9 },
        { 2, 0, 4, kWholeLineIndex },
        { 0, 2, kWholeLineIndex, 6 },
        { 0, 0, kMaxColumnIndex, kMaxRowIndex },
        { kMaxColumnIndex, kMaxRowIndex, kMaxColumnIndex, kMaxRowIndex },
        { 1, 1, 1, kMaxRowIndex },
        { 0, kWholeLineIndex, 0, kWholeLineIndex },
        { kWholeLineIndex, 4, kWholeLineIndex, 4 },
    };
    const std::vector<SpreadSheetReferenceTextFlags> flags
        = { 0, rtfAbsoluteColumns, rtfAbsoluteRows, rtfAbsoluteColumns | rtfAbsoluteRows };
    for (const SpreadSheetArea& area : areas) {
        for (const SpreadSheetReferenceTextFlags f : flags) {
            for (const bool r1c1 : { kA1, kR1C1 }) {
                const QString text = AreaToReferenceText(area, r1c1, f);
                EXPECT_EQ(ParseAreaReference(text, r1c1), area) << text.toStdString();
            }
        }
    }
}

// --- Moving references on structural edits ---

enum class Axis { rows, columns };

struct UpdateCase {
    const char* text;
    Axis axis;
    int index1;
    int index2;
    int newIndex1; // -1: delete index1..index2
    const char* expected;
    bool changed;
};

// Reads an A1 text owned by cell A1 (origin 0), applies one edit along one axis, prints it back.
std::pair<QString, bool> ApplyUpdate(const UpdateCase& c)
{
    const QString text = QString::fromLatin1(c.text);
    SpreadSheetAreaReference ref;
    int pos = 0;
    const int finish = int(text.size()) - 1;
    EXPECT_TRUE(SpreadSheetReferenceParser::Parse(text, pos, finish, ref.first.row, ref.first.column, kA1));
    const bool isArea = pos < text.size();
    if (isArea) {
        EXPECT_EQ(text[pos], u':');
        ++pos;
        EXPECT_TRUE(SpreadSheetReferenceParser::Parse(text, pos, finish, ref.last.row, ref.last.column, kA1));
    }
    SpreadSheetReference& first = c.axis == Axis::rows ? ref.first.row : ref.first.column;
    SpreadSheetReference& last = c.axis == Axis::rows ? ref.last.row : ref.last.column;
    const bool changed = isArea ? first.UpdateAreaReference(last, 0, c.index1, c.index2, c.newIndex1, true, false)
                                : first.UpdateReference(0, c.index1, c.index2, c.newIndex1, true, false);
    const QString result = isArea
        ? SpreadSheetReferenceAsString::BuildArea(
            u"", ref.first.row, ref.first.column, u"", ref.last.row, ref.last.column, 0, 0, kA1)
        : SpreadSheetReferenceAsString::Build(u"", ref.first.row, ref.first.column, 0, 0, kA1);
    return { result, changed };
}

TEST(SpreadSheetReferenceUpdate, InsertDeleteAndMove)
{
    constexpr Axis r = Axis::rows;
    constexpr Axis c = Axis::columns;
    const std::vector<UpdateCase> cases = {
        // Deleting rows 5..15.
        { "A4", r, 4, 14, -1, "A4", false },
        { "A5", r, 4, 14, -1, "#REF!", true },
        { "A7", r, 4, 14, -1, "#REF!", true },
        { "$A$15", r, 4, 14, -1, "#REF!", true },
        { "A16", r, 4, 14, -1, "A5", true },
        { "A20", r, 4, 14, -1, "A9", true },
        { "$A$20", r, 4, 14, -1, "$A$9", true },
        { "A", r, 4, 14, -1, "A", false },
        { "A1:A4", r, 4, 14, -1, "A1:A4", false },
        { "A1:A5", r, 4, 14, -1, "A1:A4", true },
        { "A1:A10", r, 4, 14, -1, "A1:A4", true },
        { "A7:A9", r, 4, 14, -1, "#REF!", true },
        { "A5:A15", r, 4, 14, -1, "#REF!", true },
        { "A3:A5", r, 4, 14, -1, "A3:A4", true },
        { "A15:A21", r, 4, 14, -1, "A5:A10", true },
        { "A7:A21", r, 4, 14, -1, "A5:A10", true },
        { "A1:A31", r, 4, 14, -1, "A1:A20", true },
        { "A20:B26", r, 4, 14, -1, "A9:B15", true },
        { "3:17", r, 4, 14, -1, "3:6", true },
        { "A:B", r, 4, 14, -1, "A:B", false },
        // Inserting 3 rows at row 5.
        { "A4", r, 4, 6, 7, "A4", false },
        { "A5", r, 4, 6, 7, "A8", true },
        { "$A$9", r, 4, 6, 7, "$A$12", true },
        { "A1:A4", r, 4, 6, 7, "A1:A4", false },
        { "A1:A5", r, 4, 6, 7, "A1:A8", true },
        { "A3:A9", r, 4, 6, 7, "A3:A12", true },
        { "A5:A6", r, 4, 6, 7, "A8:A9", true },
        { "5:5", r, 4, 6, 7, "8:8", true },
        // Deleting and inserting columns C..D.
        { "B1", c, 2, 3, -1, "B1", false },
        { "C1", c, 2, 3, -1, "#REF!", true },
        { "E1", c, 2, 3, -1, "C1", true },
        { "B1:E1", c, 2, 3, -1, "B1:C1", true },
        { "C1:D9", c, 2, 3, -1, "#REF!", true },
        { "C:F", c, 2, 3, -1, "C:D", true },
        { "3:3", c, 2, 3, -1, "3:3", false },
        { "C1", c, 2, 3, 4, "E1", true },
        { "A1:C1", c, 2, 3, 4, "A1:E1", true },
        // Moving rows 3..4 down to row 11, and rows 11.. up to row 6.
        { "A2", r, 2, 3, 10, "A2", false },
        { "A3", r, 2, 3, 10, "A11", true },
        { "A6", r, 2, 3, 10, "A14", true },
        { "A1:A3", r, 2, 3, 10, "A1:A11", true },
        { "A12", r, 10, 11, 5, "A7", true },
        { "A9", r, 10, 11, 5, "A9", false },
        { "A9:A12", r, 10, 11, 5, "#REF!", true }, // the end moves above the start
        // Nothing moves when the band stays where it is.
        { "A9", r, 4, 6, 4, "A9", false },
        { "A1:A9", r, 4, 6, 4, "A1:A9", false },
    };
    for (const UpdateCase& c : cases) {
        const auto [text, changed] = ApplyUpdate(c);
        EXPECT_EQ(text, QString::fromLatin1(c.expected))
            << c.text << " " << c.index1 << ".." << c.index2 << " -> " << c.newIndex1;
        EXPECT_EQ(changed, c.changed) << c.text << " " << c.index1 << ".." << c.index2 << " -> " << c.newIndex1;
    }
}

TEST(SpreadSheetReferenceUpdate, OriginMovesWithTheOwnerCell)
{
    struct Case {
        const char* ref; // component as created, read from origin 20
        int index1;
        int index2;
        int newIndex1;
        bool moveReference;
        bool moveOrigin;
        int expectedOrigin;
        int expectedActual; // -1 for an error
        bool changed;
    };
    const std::vector<Case> cases = {
        // Owner at row 21 refers to row 3; rows 5..15 are deleted above the owner.
        { "-18", 4, 14, -1, true, true, 9, 2, true },
        // Owner and target both after the band: the relative offset survives.
        { "5", 4, 14, -1, true, true, 9, 14, false },
        { "$25", 4, 14, -1, true, true, 9, 14, true },
        // The edit is on another sheet: only the owner moves, the target stays put.
        { "5", 4, 14, -1, false, true, 9, 25, true },
        { "$25", 4, 14, -1, false, true, 9, 25, false },
        // The owner is on another sheet: only the target moves.
        { "5", 4, 14, -1, true, false, 20, 14, true },
        // Target inside the deleted band.
        { "-10", 4, 14, -1, true, true, 9, -1, true },
        // Insertion of 3 rows at row 5 above both.
        { "-5", 4, 6, 7, true, true, 23, 18, false },
        { "-18", 4, 6, 7, true, true, 23, 2, true },
        // An owner before the band does not move.
        { "-18", 30, 32, 33, true, true, 20, 2, false },
        { "*", 4, 14, -1, true, true, 9, kWholeLineIndex, false },
    };
    for (const Case& c : cases) {
        SpreadSheetReference ref = Component(c.ref);
        EXPECT_EQ(ref.UpdateReference(20, c.index1, c.index2, c.newIndex1, c.moveReference, c.moveOrigin), c.changed)
            << c.ref << " " << c.index1;
        EXPECT_EQ(ref.ActualValue(c.expectedOrigin), c.expectedActual) << c.ref << " " << c.index1;
    }
}

TEST(SpreadSheetReferenceUpdate, ErrorsStayAndAreasShareTheirError)
{
    SpreadSheetReference error = SpreadSheetReference::Create(9, true);
    error.SetIsError(true);
    const SpreadSheetReference before = error;
    EXPECT_FALSE(error.UpdateReference(0, 0, 3, -1, true, true));
    EXPECT_EQ(error, before);

    SpreadSheetReference start = SpreadSheetReference::Create(9, true);
    SpreadSheetReference end = error;
    EXPECT_FALSE(start.UpdateAreaReference(end, 0, 0, 3, -1, true, true));
    EXPECT_EQ(start, SpreadSheetReference::Create(9, true));

    start = SpreadSheetReference::Create(6, true);
    end = SpreadSheetReference::Create(8, false);
    EXPECT_TRUE(start.UpdateAreaReference(end, 0, 4, 14, -1, true, false));
    EXPECT_TRUE(start.IsError());
    EXPECT_TRUE(end.IsError());
}

} // namespace
} // namespace quorvel
