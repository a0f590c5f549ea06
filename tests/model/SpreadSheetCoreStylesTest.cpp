#include "model/SpreadSheetCoreStyles.h"
#include "model/SpreadSheetErrors.h"
#include "platform/LocaleData.h"
#include "resources/ResourceString.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

std::unique_ptr<SpreadSheetFontHandle> makeFont(const QString& name, int size, SpreadSheetFontStyles style = 0)
{
    auto font = std::make_unique<SpreadSheetFontHandle>();
    font->Name = name;
    font->Size = size;
    font->Style = style;
    return font;
}

class CoreStylesTest : public ::testing::Test {
protected:
    SpreadSheetCellStyles styles { LocaleData::ForName(QStringLiteral("en_US")) };
};

TEST_F(CoreStylesTest, EqualFontsInternToOneHandle)
{
    struct Case {
        const char* what;
        QString nameA;
        int sizeA;
        QString nameB;
        int sizeB;
        bool same;
    };
    const Case cases[] = {
        { "same content", "Arial", 10, "Arial", 10, true },
        { "other size", "Arial", 10, "Arial", 12, false },
        { "other name", "Arial", 10, "Tahoma", 10, false },
        // The key comes from the name as stored, so a case-only difference is a separate font.
        { "name case", "Arial", 10, "ARIAL", 10, false },
    };
    for (const Case& c : cases) {
        SpreadSheetFontHandle* a = styles.Fonts().AddFont(makeFont(c.nameA, c.sizeA));
        SpreadSheetFontHandle* b = styles.Fonts().AddFont(makeFont(c.nameB, c.sizeB));
        EXPECT_EQ(a == b, c.same) << c.what;
    }
    // Equality itself ignores the case of the name.
    EXPECT_TRUE(makeFont("Arial", 10)->IsEqual(*makeFont("ARIAL", 10)));
    EXPECT_EQ(styles.Fonts().AddFont(std::make_unique<SpreadSheetFontHandle>()), styles.Fonts().DefaultFont());
}

TEST_F(CoreStylesTest, LastReleaseFreesHandleAndLeavesTable)
{
    SpreadSheetFonts& fonts = styles.Fonts();
    const int before = fonts.Count();
    SpreadSheetFontHandle* font = fonts.AddFont(makeFont("Courier New", 9));
    ASSERT_EQ(fonts.Count(), before + 1);
    EXPECT_EQ(font->RefCount(), 0);
    {
        SpreadSheetHandleRef<SpreadSheetFontHandle> first(font);
        SpreadSheetHandleRef<SpreadSheetFontHandle> second = first;
        EXPECT_EQ(font->RefCount(), 2);
        first.Reset();
        EXPECT_EQ(fonts.Count(), before + 1);
    }
    EXPECT_EQ(fonts.Count(), before);
    // The default items keep an extra reference and survive any number of balanced uses.
    SpreadSheetFontHandle* defaultFont = fonts.DefaultFont();
    const int references = defaultFont->RefCount();
    SpreadSheetHandleRef<SpreadSheetFontHandle>(defaultFont).Reset();
    EXPECT_EQ(fonts.DefaultFont(), defaultFont);
    EXPECT_EQ(defaultFont->RefCount(), references);
}

TEST_F(CoreStylesTest, StyleHandlesHoldTheirSubHandles)
{
    SpreadSheetFontHandle* bold = styles.Fonts().AddFont(makeFont("Calibri", 11, fsBold));
    const int fontsBefore = styles.Fonts().Count();
    {
        SpreadSheetHandleRef<SpreadSheetCellStyleHandle> style(styles.AddStyle(styles.CreateStyle(bold)));
        EXPECT_EQ(bold->RefCount(), 1);
        EXPECT_EQ(style->DataFormat(), styles.Formats().DefaultFormat());
        EXPECT_FALSE(style->IsDefault());
    }
    // The style died and took its only reference to the bold font with it.
    EXPECT_EQ(styles.Fonts().Count(), fontsBefore - 1);
    EXPECT_EQ(styles.AddStyle(styles.CreateStyle()), styles.DefaultStyle());
    EXPECT_TRUE(styles.DefaultStyle()->IsDefault());
}

TEST_F(CoreStylesTest, StyleEqualityComparesEveryField)
{
    struct Case {
        const char* what;
        void (*change)(SpreadSheetCellStyleHandle&);
    };
    const Case cases[] = {
        { "align horz", [](SpreadSheetCellStyleHandle& h) { h.AlignHorz = ssahCenter; } },
        { "indent", [](SpreadSheetCellStyleHandle& h) { h.AlignHorzIndent = 3; } },
        { "align vert", [](SpreadSheetCellStyleHandle& h) { h.AlignVert = ssavTop; } },
        { "rotation", [](SpreadSheetCellStyleHandle& h) { h.Rotation = 90; } },
        { "states", [](SpreadSheetCellStyleHandle& h) { h.States = csLocked | csWordWrap; } },
    };
    for (const Case& c : cases) {
        auto changed = styles.CreateStyle();
        c.change(*changed);
        SpreadSheetCellStyleHandle* interned = styles.AddStyle(std::move(changed));
        EXPECT_NE(interned, styles.DefaultStyle()) << c.what;
        auto again = styles.CreateStyle();
        c.change(*again);
        EXPECT_EQ(styles.AddStyle(std::move(again)), interned) << c.what;
    }
}

TEST_F(CoreStylesTest, DefaultStyleContentChangesInPlace)
{
    SpreadSheetCellStyleHandle* defaultStyle = styles.DefaultStyle();
    auto centered = styles.CreateStyle();
    centered->AlignHorz = ssahCenter;
    SpreadSheetCellStyleHandle* older = styles.AddStyle(centered->Clone());
    styles.SetDefaultStyleContent(*centered);
    EXPECT_EQ(styles.DefaultStyle(), defaultStyle);
    EXPECT_EQ(defaultStyle->AlignHorz, ssahCenter);
    // Content equal to the default yields the default, even though an older equal handle exists.
    EXPECT_EQ(styles.AddStyle(std::move(centered)), defaultStyle);
    EXPECT_NE(older, defaultStyle);
    styles.ResetDefaultStyle();
    EXPECT_EQ(defaultStyle->AlignHorz, ssahGeneral);
    EXPECT_EQ(styles.AddStyle(styles.CreateStyle()), defaultStyle);
}

TEST_F(CoreStylesTest, AddCloneCopiesStylesBetweenWorkbooks)
{
    SpreadSheetCellStyles other(LocaleData::ForName(QStringLiteral("en_US")));
    auto source = other.CreateStyle(other.Fonts().AddFont(makeFont("Arial", 14, fsItalic)),
        other.Formats().AddFormat(QStringLiteral("0.000")));
    source->AlignVert = ssavCenter;
    SpreadSheetCellStyleHandle* foreign = other.AddStyle(std::move(source));

    SpreadSheetCellStyleHandle* copy = styles.AddClone(foreign);
    EXPECT_EQ(copy->Table(), &styles);
    EXPECT_EQ(copy->Font()->Table(), &styles.Fonts());
    EXPECT_EQ(copy->Font()->Name, QStringLiteral("Arial"));
    EXPECT_EQ(copy->DataFormat()->FormatCode, QStringLiteral("0.000"));
    EXPECT_EQ(copy->AlignVert, ssavCenter);
    EXPECT_EQ(styles.AddClone(foreign), copy);
    EXPECT_EQ(styles.AddClone(other.DefaultStyle()), styles.DefaultStyle());
}

TEST_F(CoreStylesTest, TableGrowsAndKeepsEveryHandle)
{
    std::vector<SpreadSheetFontHandle*> fonts;
    for (int size = 1; size <= 2000; ++size)
        fonts.push_back(styles.Fonts().AddFont(makeFont("Arial", size)));
    for (int size = 1; size <= 2000; ++size)
        ASSERT_EQ(styles.Fonts().AddFont(makeFont("Arial", size)), fonts[static_cast<std::size_t>(size - 1)]);
}

// Shared strings

TEST(SharedStringTable, EqualTextsShareOneString)
{
    SpreadSheetFonts fonts;
    SpreadSheetSharedStringTable strings(fonts);
    SpreadSheetSharedString* abc = strings.Add(QStringLiteral("abc"));
    EXPECT_EQ(strings.Add(QStringLiteral("abc")), abc);
    SpreadSheetSharedString* upper = strings.Add(QStringLiteral("ABC"));
    EXPECT_NE(upper, abc);
    EXPECT_EQ(upper->Value(), QStringLiteral("ABC"));
    EXPECT_NE(strings.Add(QStringLiteral("abcd")), abc);
    EXPECT_EQ(strings.Add(QString()), strings.Add(QStringLiteral("")));
    EXPECT_EQ(strings.GetUniqueCount(), 4);
    // A string equal ignoring ASCII case compares equal, even though it is keyed apart.
    EXPECT_TRUE(abc->IsEqual(*upper));
    EXPECT_FALSE(strings.Add(QStringLiteral("ß"))->IsEqual(*strings.Add(QStringLiteral("SS"))));
}

TEST(SharedStringTable, CellReferencesKeepStringsAlive)
{
    SpreadSheetFonts fonts;
    SpreadSheetSharedStringTable strings(fonts);
    SpreadSheetSharedString* text = strings.Add(QStringLiteral("kept"));
    text->AddRef(); // first cell
    strings.Add(QStringLiteral("kept"))->AddRef(); // second cell
    text->Release();
    EXPECT_EQ(strings.GetUniqueCount(), 1);
    text->Release();
    EXPECT_EQ(strings.GetUniqueCount(), 0);
}

TEST(SharedStringTable, FormattedStringsCompareRuns)
{
    SpreadSheetFonts fonts;
    SpreadSheetSharedStringTable strings(fonts);
    SpreadSheetFontHandle* bold = fonts.AddFont(makeFont("Calibri", 11, fsBold));
    auto rich = [&](int start, SpreadSheetFontHandle* font) {
        auto value = std::make_unique<SpreadSheetFormattedSharedString>(QStringLiteral("Hello world"));
        value->AddRun(0, fonts.DefaultFont());
        value->AddRun(start, font);
        return value;
    };
    SpreadSheetSharedString* first = strings.Add(rich(6, bold));
    EXPECT_TRUE(first->IsFormatted());
    EXPECT_EQ(strings.Add(rich(6, bold)), first);
    EXPECT_NE(strings.Add(rich(5, bold)), first);
    EXPECT_NE(strings.Add(rich(6, fonts.DefaultFont())), first);
    EXPECT_NE(strings.Add(QStringLiteral("Hello world")), first);
    EXPECT_EQ(bold->RefCount(), 2);

    SpreadSheetFonts otherFonts;
    SpreadSheetSharedStringTable other(otherFonts);
    auto* copy = static_cast<SpreadSheetFormattedSharedString*>(other.AddClone(first));
    ASSERT_EQ(copy->Runs().size(), 2u);
    EXPECT_EQ(copy->Runs()[1].FontHandle->Table(), &otherFonts);
    EXPECT_EQ(copy->Runs()[1].FontHandle->Style, fsBold);
}

// Number formats

TEST(SpreadSheetFormats, CodesMapToBuiltInNumbers)
{
    SpreadSheetFormats formats(LocaleData::ForName(QStringLiteral("en_US")));
    struct Case {
        QString code;
        int id;
    };
    const Case cases[] = {
        { "General", 0 },
        { "GENERAL", 0 },
        { "0.00", 2 },
        { "m/d/yy", 14 },
        { "[h]:mm:ss", 46 },
        { "@", 49 },
        { "0.000", -1 },
        { "dd.mm.yyyy", -1 },
        { "M/D/YY", -1 },
    };
    for (const Case& c : cases) {
        SpreadSheetFormatHandle* format = formats.AddFormat(c.code);
        EXPECT_EQ(format->FormatCodeID, c.id) << c.code.toStdString();
        if (c.id >= 0)
            EXPECT_EQ(format, formats.PredefinedFormats().GetFormatHandleByID(c.id));
        else
            EXPECT_EQ(format->FormatCode, c.code);
    }
    EXPECT_EQ(formats.DefaultFormat()->FormatCodeID, 0);
    EXPECT_EQ(formats.AddFormat(QStringLiteral("0.000")), formats.AddFormat(QStringLiteral("0.000")));
    // A number that is not built in does not survive on a handle.
    EXPECT_EQ(formats.AddFormat(std::make_unique<SpreadSheetFormatHandle>(QStringLiteral("0.0"), 170))->FormatCodeID, -1);
}

TEST(SpreadSheetFormats, OnlyBuiltInNumbersExist)
{
    SpreadSheetFormats formats(LocaleData::ForName(QStringLiteral("en_US")));
    const int existing[] = { 0, 1, 8, 9, 22, 37, 44, 45, 49 };
    for (int id : existing)
        EXPECT_EQ(formats.AddFormatByID(id)->FormatCodeID, id) << id;
    Localizer::Reset();
    for (int id : { -1, 23, 36, 50, 164 }) {
        try {
            formats.AddFormatByID(id);
            ADD_FAILURE() << id;
        } catch (const ESpreadSheetError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("The \"%1\" format code ID is invalid").arg(id));
        }
    }
    ASSERT_TRUE(Localizer::ActivateShipped(kLocaleRussian));
    try {
        formats.AddFormatByID(23);
        ADD_FAILURE();
    } catch (const ESpreadSheetError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Код формата \"23\" недопустим"));
    }
    Localizer::Reset();
}

TEST(SpreadSheetFormats, CurrencyFormatsFollowTheLocale)
{
    const LocaleData us = LocaleData::ForName(QStringLiteral("en_US"));
    const LocaleData ru = LocaleData::ForName(QStringLiteral("ru_RU"));
    const QString rub = ru.currencyString;
    ASSERT_EQ(rub.size(), 1);
    struct Case {
        const LocaleData& locale;
        int id;
        QString code;
    };
    const Case cases[] = {
        { us, 5, R"("$"#,##0_);("$"#,##0))" },
        { us, 6, R"("$"#,##0_);[Red]("$"#,##0))" },
        { us, 7, R"("$"#,##0.00_);("$"#,##0.00))" },
        { us, 8, R"("$"#,##0.00_);[Red]("$"#,##0.00))" },
        { us, 41, R"(_(* #,##0_);_(* (#,##0);_(* "-"_);_(@_))" },
        { us, 42, R"(_("$"* #,##0_);_("$"* (#,##0);_("$"* "-"_);_(@_))" },
        { us, 43, R"(_(* #,##0.00_);_(* (#,##0.00);_(* "-"??_);_(@_))" },
        { us, 44, R"(_("$"* #,##0.00_);_("$"* (#,##0.00);_("$"* "-"??_);_(@_))" },
        { ru, 5, QStringLiteral(R"(#,##0 "%1"_);-#,##0 "%1")").arg(rub) },
        { ru, 8, QStringLiteral(R"(#,##0.00 "%1"_);[Red]-#,##0.00 "%1")").arg(rub) },
        // One-character symbol after the value: its width is reserved.
        { ru, 41, QStringLiteral(R"(_(* #,##0 _%1_);_(-* #,##0 _%1;_(* "-" _%1_);_(@_))").arg(rub) },
        { ru, 44, QStringLiteral(R"(_(* #,##0.00 "%1"_);_(-* #,##0.00 "%1";_(* "-"?? "%1"_);_(@_))").arg(rub) },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PredefinedFormatCode(c.id, c.locale), c.code) << c.locale.name.toStdString() << " " << c.id;
        SpreadSheetFormats formats(c.locale);
        EXPECT_EQ(formats.PredefinedFormats().GetFormatCodeByID(c.id), c.code);
        EXPECT_EQ(formats.AddFormat(c.code)->FormatCodeID, c.id);
    }
}

TEST(SpreadSheetFormats, CodesAreClassified)
{
    struct Case {
        QString code;
        int id;
        SpreadSheetFormatCodeKind kind;
    };
    const Case cases[] = {
        { "General", 0, fckNumber },
        { "0.00E+00", 11, fckNumber },
        { "#,##0_);[Red](#,##0)", 38, fckNumber },
        { "m/d/yy", 14, fckDateTime },
        { "dd.mm.yyyy", -1, fckDateTime }, // custom codes are read too
        { "d-mmm", 16, fckDateTime },
        { "mmm-yy", 17, fckDateTime },
        { "m/d/yy h:mm", 22, fckDateTime },
        { "h:mm AM/PM", 18, fckTime },
        { "mm:ss", 45, fckTime },
        { "[h]:mm:ss", 46, fckTime },
        { "[mm]", -1, fckTime },
        { "hh:mm:ss", -1, fckTime },
        { "@", 49, fckText },
        { "\"Total: \"@", -1, fckText },
        { R"(_(* #,##0_);_(* (#,##0);_(* "-"_);_(@_))", 41, fckNumber }, // "@" only in the text section
        { "0.0 \"days\"", -1, fckNumber },
        { "0\\d", -1, fckNumber },
        { "[Red]0.00", -1, fckNumber },
        { "[$-409]0", -1, fckNumber },
        { "yyyy", -1, fckDateTime },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyFormatCode(c.code, c.id), c.kind) << c.code.toStdString();
        const SpreadSheetFormatHandle format(c.code, c.id);
        EXPECT_EQ(format.IsDateTime(), c.kind == fckDateTime || c.kind == fckTime) << c.code.toStdString();
        EXPECT_EQ(format.IsTime(), c.kind == fckTime) << c.code.toStdString();
        EXPECT_EQ(format.IsText(), c.kind == fckText) << c.code.toStdString();
    }
}

} // namespace
} // namespace quorvel
