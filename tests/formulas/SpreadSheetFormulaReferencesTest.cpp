#include "formulas/SpreadSheetFormulaReferences.h"
#include "../model/SpreadSheetTestSupport.h"
#include "formulas/SpreadSheetFormatSettings.h"
#include "formulas/SpreadSheetFormula.h"
#include "formulas/SpreadSheetReferences.h"

#include <gtest/gtest.h>

#include <memory>

namespace quorvel {
namespace {

// "A1:B2@6+5": the area in A1 notation, the 1-based position in the whole text and the length.
QString Describe(const SpreadSheetFormulaReferences& references)
{
    QStringList items;
    for (const SpreadSheetFormulaReferenceInfo& item : references.List()) {
        const auto cell = [](int row, int column) {
            return SpreadSheetColumnReferences::NameByIndex(column) + QString::number(row + 1);
        };
        QString area = cell(item.Area.top, item.Area.left);
        if (item.Area.right != item.Area.left || item.Area.bottom != item.Area.top)
            area += u':' + cell(item.Area.bottom, item.Area.right);
        items << QStringLiteral("%1@%2+%3").arg(area).arg(item.PositionInText).arg(item.Length);
    }
    return items.join(QStringLiteral(", "));
}

struct Case {
    const char* text;
    const char* references;
};

class SpreadSheetFormulaReferencesTest : public ::testing::Test {
protected:
    void SetUp() override { MakeBook(QStringLiteral("en_US")); }

    void MakeBook(const QString& locale)
    {
        book_ = test::MakeBook(locale);
        book_->Sheets(0)->SetCaption(QStringLiteral("Sheet1"));
        book_->AddSheet(QStringLiteral("Data"));
        book_->AddSheet(QStringLiteral("My Sheet"));
    }

    // Each text typed into C3 of `sheet`, so that relative references are offsets from there.
    void Expect(const std::vector<Case>& cases, int sheet = 0)
    {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.text);
            SpreadSheetFormulaReferences references;
            references.Initialize(*book_->Sheets(sheet), 2, 2, QString::fromUtf8(c.text));
            EXPECT_EQ(Describe(references), QString::fromUtf8(c.references));
        }
    }

    std::unique_ptr<SpreadSheet> book_;
};

TEST_F(SpreadSheetFormulaReferencesTest, CompleteFormulas)
{
    Expect({
        { "=A1", "A1@2+2" },
        { "=$A$1+B$2*$C3", "A1@2+4, B2@7+3, C3@11+3" },
        { "=SUM(A1:B2,C3)", "A1:B2@6+5, C3@12+2" },
        { "=B2:A1", "A1:B2@2+5" },
        { "=A1 : B2", "A1:B2@2+7" },
        { "=A1:B2:C3", "A1:B2@2+5, C3@8+2" },
        { "=A:C+$D:$D", "A1:C1048576@2+3, D1:D1048576@6+5" },
        { "=1:3", "A1:XFD3@2+3" },
        { "=XFD1048576", "XFD1048576@2+10" },
        { "=A1 B1", "A1@2+2, B1@5+2" },
        { "= A1", "A1@3+2" },
        { "=SUM(A1,A1)", "A1@6+2, A1@9+2" },
        { "=\"A1\"&B1", "B1@7+2" },
        { "=TRUE+A1%", "A1@7+2" },
        { "={1,2}+A1", "A1@8+2" },
        { "=#N/A+A1", "A1@7+2" },
        { "=#REF!+A1", "A1@8+2" },
        // A function name is not read as a cell, however it looks.
        { "=LOG10(A1)", "A1@8+2" },
        { "=LOG10", "LOG10@2+5" },
        // Not references in A1 notation.
        { "=XFE1+R1C1+A0", "" },
        { "=1+2", "" },
    });
}

TEST_F(SpreadSheetFormulaReferencesTest, UnfinishedFormulasKeepTheirReferences)
{
    Expect({
        { "=SUM(A1:B2, C3", "A1:B2@6+5, C3@13+2" },
        { "=A1+", "A1@2+2" },
        { "=(A1", "A1@3+2" },
        { "=SUM(", "" },
        { "=A1:", "A1@2+2" },
        { "=IF(A1>0,B1,", "A1@5+2, B1@10+2" },
        { "=A1)+B1)", "A1@2+2, B1@6+2" },
        { "=*A1", "A1@3+2" },
        { "=SUM(A1:B2)*(C3", "A1:B2@6+5, C3@14+2" },
    });
}

TEST_F(SpreadSheetFormulaReferencesTest, ReferencesOnOtherSheetsAreLeftOut)
{
    // Typed on Sheet1.
    Expect({
        { "=Sheet1!A1", "A1@2+9" },
        { "=sheet1!A1:B2+1", "A1:B2@2+12" },
        { "=Sheet1!A1:Sheet1!B2", "A1:B2@2+19" },
        { "=Data!A1+B1", "B1@10+2" },
        { "='My Sheet'!A1:B2", "" },
        { "=A1:Data!B2", "" },
        { "=Sheet1!A1:Data!B2", "" },
        { "=Sheet1!A:A+Data!1:2", "A1:A1048576@2+10" },
        { "=Missing!A1+C1", "C1@13+2" },
        { "=#REF!A1", "" },
        { "=[1]Sheet1!A1+B1", "B1@15+2" },
    });
    // Typed on Data: the same texts list the other references.
    Expect(
        {
            { "=Sheet1!A1", "" },
            { "=Data!A1+B1", "A1@2+7, B1@10+2" },
            { "=A1:Data!B2", "A1:B2@2+10" },
        },
        1);
}

TEST_F(SpreadSheetFormulaReferencesTest, TextsWithErrorsOrWithoutPrefixListNothing)
{
    Expect({
        { "A1", "" },
        { "", "" },
        { "=", "" },
        { "=A1&\"text", "" },
        { "=A1+'My Sheet", "" },
        { "=Sheet1!", "" },
        { "=A1+[1", "" },
        { "=[0]Sheet1!A1", "" },
    });
}

TEST_F(SpreadSheetFormulaReferencesTest, R1C1Notation)
{
    book_->FormatSettings().SetR1C1Reference(true);
    Expect({
        { "=R1C1", "A1@2+4" },
        { "=RC[-1]+R[-1]C", "B3@2+6, C2@9+6" },
        { "=SUM(R1C1:R2C2,", "A1:B2@6+9" },
        { "=R1:R3", "A1:XFD3@2+5" },
        { "=C2", "B1:B1048576@2+2" },
        { "=A1", "" },
        { "=ROUND(RC1,2)", "A3@8+3" },
        { "=R", "A3:XFD3@2+1" },
    });
}

TEST_F(SpreadSheetFormulaReferencesTest, SemicolonListSeparator)
{
    MakeBook(QStringLiteral("ru_RU"));
    Expect({
        { "=SUM(1,5;A1", "A1@10+2" },
        { "=SUM(A1;B2", "A1@6+2, B2@9+2" },
    });
}

TEST_F(SpreadSheetFormulaReferencesTest, ACellListsRelativeToItsPlace)
{
    SpreadSheetCell* cell = book_->Sheets(1)->CreateCell(9, 4); // Data!E10
    SpreadSheetFormulaReferences references;
    references.Initialize(*cell, QStringLiteral("=D9+Data!E11+Sheet1!A1"));
    EXPECT_EQ(Describe(references), QStringLiteral("D9@2+2, E11@5+8"));

    // A second text replaces the list.
    references.Initialize(*cell, QStringLiteral("=1+"));
    EXPECT_EQ(references.Count(), 0);
}

TEST_F(SpreadSheetFormulaReferencesTest, TooLongTextListsNothing)
{
    QString text = QStringLiteral("=A1+");
    text += QString(kMaxFormulaLength, u'1');
    SpreadSheetFormulaReferences references;
    references.Initialize(*book_->Sheets(0), 0, 0, text);
    EXPECT_EQ(references.Count(), 0);

    // Many references in one flat text are fine within the length limit.
    QString many = QStringLiteral("=SUM(");
    for (int i = 1; i <= 300; ++i)
        many += QStringLiteral("A%1,").arg(i);
    references.Initialize(*book_->Sheets(0), 0, 0, many);
    EXPECT_EQ(references.Count(), 300);
}

} // namespace
} // namespace quorvel
