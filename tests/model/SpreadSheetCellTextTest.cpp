#include "SpreadSheetTestSupport.h"

#include "model/SpreadSheetCoreStyles.h"
#include "model/SpreadSheetErrors.h"

#include <gtest/gtest.h>

#include <QDate>

namespace quorvel {
namespace {

using test::MakeBook;
using test::Type;

double day(int y, int m, int d) { return static_cast<double>(QDate(1899, 12, 30).daysTo(QDate(y, m, d))); }

struct TypingCase {
    const char* locale;
    bool russian;
    const char* text;
    SpreadSheetCellDataType type;
    double number; // floats, dates, currency amounts
    const char* string;
};

TEST(SpreadSheetCellSetText, RecognisesValueKinds)
{
    const int year = QDate::currentDate().year();
    const TypingCase cases[] = {
        { "en_US", false, "12.0", cdtFloat, 12, nullptr },
        { "en_US", false, "  -1.5e3 ", cdtFloat, -1500, nullptr },
        { "en_US", false, "1,5", cdtString, 0, "1,5" },
        { "ru_RU", false, "1,5", cdtFloat, 1.5, nullptr },
        { "en_US", false, "1.0000000000000002", cdtFloat, 1, nullptr },
        { "en_US", false, "#n/a", cdtError, 7, nullptr },
        { "en_US", false, "#DIV/0!", cdtError, 2, nullptr },
        { "en_US", false, "#nonsense", cdtString, 0, "#nonsense" },
        { "en_US", false, "5\"", cdtString, 0, "5\"" },
        { "en_US", false, "a=b", cdtString, 0, "a=b" },
        { "en_US", false, "=1+", cdtString, 0, "=1+" },
        { "en_US", false, "'12", cdtString, 0, "'12" },
        { "en_US", false, "true", cdtBoolean, 1, nullptr },
        { "en_US", false, "FALSE", cdtBoolean, 0, nullptr },
        { "en_US", true, "да", cdtBoolean, 1, nullptr },
        { "en_US", true, "ДА", cdtBoolean, 1, nullptr },
        { "en_US", true, "нет", cdtBoolean, 0, nullptr },
        { "en_US", true, "TRUE", cdtString, 0, "TRUE" },
        { "en_US", false, "$12", cdtCurrency, 12, nullptr },
        { "en_US", false, "$1,234.50", cdtCurrency, 1234.5, nullptr },
        { "en_US", false, "($5)", cdtCurrency, -5, nullptr },
        { "en_US", false, "-$5", cdtCurrency, -5, nullptr },
        // Beyond the fixed-point range the amount is kept as a float instead of overflowing.
        { "en_US", false, "$1e20", cdtFloat, 1e20, nullptr },
        { "ru_RU", false, "12 ₽", cdtCurrency, 12, nullptr },
        { "en_US", false, "1/2/2024", cdtDateTime, day(2024, 1, 2), nullptr },
        { "en_US", false, "1-2-2024", cdtDateTime, day(2024, 1, 2), nullptr },
        { "en_US", false, "3/1/1900", cdtDateTime, 61, nullptr },
        { "en_US", false, "2/28/1900", cdtDateTime, 59, nullptr },
        { "en_US", false, "1/1/1900", cdtDateTime, 1, nullptr },
        { "en_US", false, "2/30/2024", cdtString, 0, "2/30/2024" },
        { "en_US", false, "1/2/2024 13:30", cdtDateTime, day(2024, 1, 2) + 13.5 / 24, nullptr },
        { "en_US", false, "10:30", cdtDateTime, 10.5 / 24, nullptr },
        { "en_US", false, "5 PM", cdtDateTime, 17.0 / 24, nullptr },
        { "en_US", false, "12:00:30 AM", cdtDateTime, 30.0 / 86400, nullptr },
        { "en_US", false, "25:00", cdtString, 0, "25:00" },
        { "en_US", false, "15 Mar 2024", cdtDateTime, day(2024, 3, 15), nullptr },
        { "en_US", false, "March 15, 2024", cdtDateTime, day(2024, 3, 15), nullptr },
        { "en_US", false, "3/15", cdtDateTime, day(year, 3, 15), nullptr },
        { "ru_RU", false, "31.12.2024", cdtDateTime, day(2024, 12, 31), nullptr },
        { "ru_RU", false, "31/12/2024", cdtDateTime, day(2024, 12, 31), nullptr },
        { "ru_RU", false, "31-12-2024", cdtDateTime, day(2024, 12, 31), nullptr },
        { "ru_RU", false, "1.5", cdtDateTime, day(year, 5, 1), nullptr },
        { "en_US", false, "", cdtBlank, 0, nullptr },
    };
    for (const TypingCase& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + (c.russian ? " ru " : " ") + c.text);
        auto book = MakeBook(QString::fromLatin1(c.locale));
        if (c.russian) {
            ASSERT_TRUE(Localizer::ActivateShipped(kLocaleRussian));
        }
        SpreadSheetCell* cell = Type(*book, 0, 0, QString::fromUtf8(c.text));
        EXPECT_EQ(cell->DataType(), c.type);
        switch (c.type) {
        case cdtError:
            EXPECT_EQ(static_cast<int>(cell->AsError()), static_cast<int>(c.number));
            break;
        case cdtString:
            EXPECT_EQ(cell->AsString(), QString::fromUtf8(c.string));
            break;
        case cdtFloat:
        case cdtDateTime:
        case cdtCurrency:
        case cdtBoolean:
            EXPECT_NEAR(cell->AsFloat(), c.number, 1e-9);
            break;
        default:
            break;
        }
        Localizer::Reset();
    }
}

TEST(SpreadSheetCellSetText, AutomaticNumberFormats)
{
    auto book = MakeBook();
    EXPECT_EQ(Type(*book, 0, 0, "1/2/2024")->StyleHandle()->DataFormat()->FormatCodeID, 14);
    EXPECT_EQ(Type(*book, 1, 0, "$3")->StyleHandle()->DataFormat()->FormatCodeID, 7);
    SpreadSheetCell* dateTime = Type(*book, 2, 0, "1/2/2024 13:30");
    EXPECT_EQ(dateTime->StyleHandle()->DataFormat()->FormatCode, "m/d/yyyy h:mm:ss AM/PM");
    EXPECT_TRUE(dateTime->StyleHandle()->DataFormat()->IsDateTime());
    SpreadSheetCell* time = Type(*book, 3, 0, "10:30");
    EXPECT_TRUE(time->StyleHandle()->DataFormat()->IsTime());
    // A number typed into a date cell stays a number but keeps the cell's date format.
    SpreadSheetCell* plain = Type(*book, 0, 0, "45000");
    EXPECT_EQ(plain->DataType(), cdtFloat);
    EXPECT_EQ(plain->StyleHandle()->DataFormat()->FormatCodeID, 14);
    EXPECT_EQ(Type(*book, 4, 0, "12")->StyleHandle(), book->CellStyles().DefaultStyle());
}

TEST(SpreadSheetCellSetText, TextFormatKeepsTextAsTyped)
{
    auto book = MakeBook();
    SpreadSheetCell* cell = book->ActiveSheet()->CreateCell(0, 0);
    auto style = book->CellStyles().DefaultStyle()->Clone();
    style->SetDataFormat(book->CellStyles().Formats().AddFormatByID(49));
    cell->SetStyleHandle(book->CellStyles().AddStyle(std::move(style)));
    cell->SetText("0012", true);
    EXPECT_EQ(cell->DataType(), cdtString);
    EXPECT_EQ(cell->AsString(), "0012");
    cell->SetText("#N/A", true); // error literals win even over the text format
    EXPECT_EQ(cell->DataType(), cdtError);
}

TEST(SpreadSheetCellSetText, DateTimeSerialLeapDayRule)
{
    auto book = MakeBook();
    SpreadSheetCell* cell = book->ActiveSheet()->CreateCell(0, 0);
    const std::pair<double, double> cases[] = { { 0.5, 0.5 }, { 1, 0 }, { 60, 59 }, { 61, 61 }, { 45000, 45000 } };
    for (const auto& [input, stored] : cases) {
        cell->SetAsDateTime(input);
        EXPECT_EQ(cell->AsDateTime(), stored) << input;
    }
}

TEST(SpreadSheetCellSetText, Date1904SystemShiftsSerials)
{
    auto book = MakeBook();
    book->SetDateTimeSystem(dts1904);
    EXPECT_DOUBLE_EQ(Type(*book, 0, 0, "1/2/1904")->AsFloat(), 1);
    EXPECT_EQ(Type(*book, 0, 0, "1/2/1904")->AsString(), "1/2/1904");
}

TEST(SpreadSheetCell, AsStringByKind)
{
    auto book = MakeBook();
    SpreadSheetCell* cell = book->ActiveSheet()->CreateCell(0, 0);
    cell->SetAsBoolean(true);
    EXPECT_EQ(cell->AsString(), "TRUE");
    cell->SetAsCurrency(-12345000);
    EXPECT_EQ(cell->AsString(), "($1,234.50)");
    cell->SetAsFloat(1e20);
    EXPECT_EQ(cell->AsString(), "1E20");
    cell->SetAsFloat(0.1);
    EXPECT_EQ(cell->AsString(), "0.1");
    cell->SetAsInteger(-7);
    EXPECT_EQ(cell->AsString(), "-7");
    cell->SetAsFloat(2.5);
    EXPECT_EQ(cell->AsInteger(), 3);
    EXPECT_TRUE(cell->AsBoolean());
    Type(*book, 1, 0, "1/2/2024 13:30");
    EXPECT_EQ(book->ActiveSheet()->GetCell(1, 0)->AsString(), "1/2/2024 1:30:00 PM");
    Type(*book, 2, 0, "10:30");
    EXPECT_EQ(book->ActiveSheet()->GetCell(2, 0)->AsString(), "10:30:00 AM");

    auto ru = MakeBook("ru_RU");
    SpreadSheetCell* rub = ru->ActiveSheet()->CreateCell(0, 0);
    rub->SetAsCurrency(12345000);
    EXPECT_EQ(rub->AsString(), QString::fromUtf8("1\u00A0234,50 ₽"));
    rub->SetAsFloat(1.5);
    EXPECT_EQ(rub->AsString(), "1,5");
}

TEST(SpreadSheetCell, HasValueAndSharedStrings)
{
    auto book = MakeBook();
    SpreadSheetCell* a = Type(*book, 0, 0, "abc");
    SpreadSheetCell* b = Type(*book, 1, 0, "abc");
    SpreadSheetCell* c = Type(*book, 2, 0, "ABC");
    EXPECT_EQ(a->AsSharedString(), b->AsSharedString());
    EXPECT_NE(a->AsSharedString(), c->AsSharedString());
    EXPECT_EQ(book->StringTable().GetUniqueCount(), 2);
    b->SetAsFloat(1);
    c->Clear();
    EXPECT_EQ(book->StringTable().GetUniqueCount(), 1);
    EXPECT_TRUE(a->HasValue());
    EXPECT_FALSE(c->HasValue());
    a->SetAsString(QString());
    EXPECT_FALSE(a->HasValue());
    a->SetAsError(ecNA);
    EXPECT_FALSE(a->HasValue());
}

TEST(SpreadSheetCell, MovingRefusesAnOccupiedTarget)
{
    auto book = MakeBook();
    SpreadSheetTableView* sheet = book->ActiveSheet();
    SpreadSheetCell* a = Type(*book, 0, 0, "1");
    Type(*book, 5, 3, "2");
    EXPECT_THROW(a->MoveTo(5, 3), ESpreadSheetError);
    EXPECT_EQ(sheet->GetCell(0, 0), a);
    a->MoveTo(2000000, -4); // clamped into the grid
    EXPECT_EQ(a->RowIndex(), kMaxRowIndex);
    EXPECT_EQ(a->ColumnIndex(), 0);
    EXPECT_EQ(sheet->GetCell(kMaxRowIndex, 0), a);
    EXPECT_EQ(sheet->GetCell(0, 0), nullptr);
}

TEST(SpreadSheetCell, VariantsStoreByType)
{
    auto book = MakeBook();
    SpreadSheetCell* cell = book->ActiveSheet()->CreateCell(0, 0);
    cell->SetAsVariant(QVariant(5));
    EXPECT_EQ(cell->DataType(), cdtInteger);
    cell->SetAsVariant(QVariant(2.5));
    EXPECT_EQ(cell->DataType(), cdtFloat);
    cell->SetAsVariant(QVariant(true));
    EXPECT_EQ(cell->DataType(), cdtBoolean);
    cell->SetAsVariant(QVariant(QDate(2024, 1, 2)));
    EXPECT_EQ(cell->DataType(), cdtDateTime);
    EXPECT_DOUBLE_EQ(cell->AsFloat(), day(2024, 1, 2));
    cell->SetAsVariant(QVariant(QStringLiteral("#REF!")));
    EXPECT_EQ(cell->AsError(), ecRefErr);
    cell->SetAsVariant(QVariant());
    EXPECT_EQ(cell->DataType(), cdtBlank);
}

} // namespace
} // namespace quorvel
