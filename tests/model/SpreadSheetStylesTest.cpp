#include "model/SpreadSheetStyles.h"

#include "formulas/SpreadSheetFormatSettings.h"
#include "model/SpreadSheetErrors.h"
#include "platform/LocaleData.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvel {
namespace {

/// Records what a style tells its owner.
class RecordingOwner final : public ISpreadSheetCellStyleOwner {
public:
    RecordingOwner()
        : styles(LocaleData::ForName(QStringLiteral("en_US")))
    {
    }

    SpreadSheetCellStyles& CellStyles() override { return styles; }
    const SpreadSheetFormatSettings& FormatSettings() override { return settings; }
    void StyleChanging() override { ++changing; }
    void StyleChanged() override { ++changed; }
    void ProcessStyleChanged(SpreadSheetCellStyleHandle* prev, SpreadSheetCellStyleHandle* next) override
    {
        transitions.emplace_back(prev, next);
    }

    SpreadSheetCellStyles styles;
    SpreadSheetFormatSettings settings;
    int changing = 0;
    int changed = 0;
    std::vector<std::pair<SpreadSheetCellStyleHandle*, SpreadSheetCellStyleHandle*>> transitions;
};

class CellStyleTest : public ::testing::Test {
protected:
    RecordingOwner owner;
    SpreadSheetCellStyles& styles = owner.styles;
    SpreadSheetCellStyle style { owner };
};

TEST_F(CellStyleTest, BoldOnAndOffReturnsToTheSameHandle)
{
    SpreadSheetCellStyleHandle* before = style.Handle();
    style.Font().SetStyle(fsBold);
    SpreadSheetCellStyleHandle* bold = style.Handle();
    EXPECT_NE(bold, before);
    EXPECT_EQ(bold->Font()->Style, fsBold);
    style.Font().SetStyle(0);
    EXPECT_EQ(style.Handle(), before);
    EXPECT_TRUE(style.IsDefault());
    EXPECT_EQ(owner.changing, 2);
    EXPECT_EQ(owner.changed, 2);
    ASSERT_EQ(owner.transitions.size(), 2u);
    EXPECT_EQ(owner.transitions[0], std::make_pair(before, bold));
}

TEST_F(CellStyleTest, MultiAttributeEditInternsOnce)
{
    const int stylesBefore = styles.Count();
    style.BeginUpdate();
    for (SpreadSheetBorder side : { bLeft, bTop, bRight, bBottom })
        style.Borders(side).SetStyle(sscbsThick);
    style.SetAlignHorz(ssahCenter);
    style.SetWordWrap(true);
    // Getters see the pending edit; the handle stays the old one until the edit ends.
    EXPECT_EQ(style.Borders(bTop).Style(), sscbsThick);
    EXPECT_TRUE(style.WordWrap());
    EXPECT_EQ(style.Handle(), styles.DefaultStyle());
    EXPECT_EQ(styles.Count(), stylesBefore);
    EXPECT_EQ(owner.changing, 0);
    style.EndUpdate();

    EXPECT_EQ(styles.Count(), stylesBefore + 1);
    EXPECT_EQ(owner.changing, 1);
    EXPECT_EQ(owner.changed, 1);
    ASSERT_EQ(owner.transitions.size(), 1u);
    EXPECT_EQ(owner.transitions[0].second, style.Handle());
    EXPECT_EQ(style.Handle()->Borders()->Style(bBottom), sscbsThick);
    EXPECT_EQ(style.Handle()->States, csLocked | csWordWrap);
}

TEST_F(CellStyleTest, EditThatChangesNothingKeepsThePreviousHandle)
{
    style.SetLocked(false);
    SpreadSheetCellStyleHandle* unlocked = style.Handle();
    owner.changing = owner.changed = 0;
    owner.transitions.clear();

    style.BeginUpdate();
    style.BeginUpdate();
    style.Font().SetSize(20);
    style.Brush().SetBackgroundColor(0x0000FF);
    style.EndUpdate();
    style.Font().SetSize(11);
    style.Brush().SetBackgroundColor(kDefaultColor);
    style.EndUpdate();

    EXPECT_EQ(style.Handle(), unlocked);
    EXPECT_EQ(owner.changing, 0);
    EXPECT_EQ(owner.changed, 0);
    EXPECT_TRUE(owner.transitions.empty());
}

TEST_F(CellStyleTest, SettersClampAndCompare)
{
    struct Case {
        int indent;
        int stored;
    };
    const Case cases[] = { { 300, 250 }, { 250, 250 }, { 7, 7 }, { -4, 0 } };
    for (const Case& c : cases) {
        style.SetAlignHorzIndent(c.indent);
        EXPECT_EQ(style.AlignHorzIndent(), c.stored) << c.indent;
        EXPECT_EQ(style.Handle()->AlignHorzIndent, c.stored) << c.indent;
    }
    // Setting the current value is not an edit.
    const int changing = owner.changing;
    style.SetAlignHorzIndent(0);
    style.SetAlignVert(ssavBottom);
    style.Font().SetName(QStringLiteral("Calibri"));
    style.Borders(bLeft).Reset();
    style.DataFormat().SetFormatCodeID(0);
    EXPECT_EQ(owner.changing, changing);
}

TEST_F(CellStyleTest, StateBitsAreIndependent)
{
    style.SetHidden(true);
    style.SetShrinkToFit(true);
    style.SetLocked(false);
    EXPECT_TRUE(style.Hidden());
    EXPECT_TRUE(style.ShrinkToFit());
    EXPECT_FALSE(style.Locked());
    EXPECT_FALSE(style.WordWrap());
    EXPECT_EQ(style.Handle()->States, csHidden | csShrinkToFit);
    style.SetIsDefault(true);
    EXPECT_EQ(style.Handle(), styles.DefaultStyle());
    EXPECT_TRUE(style.Locked());
}

TEST_F(CellStyleTest, FontWrapperChangesOneAttributeEach)
{
    SpreadSheetCellFont& font = style.Font();
    font.SetName(QStringLiteral("Arial"));
    font.SetSize(14);
    font.SetColor(0x00FF00);
    font.SetScript(fsSuperscript);
    font.SetStyle(fsItalic | fsUnderline);
    const SpreadSheetFontHandle* handle = style.Handle()->Font();
    EXPECT_EQ(handle->Name, QStringLiteral("Arial"));
    EXPECT_EQ(handle->Size, 14);
    EXPECT_EQ(handle->Color, 0x00FF00u);
    EXPECT_EQ(handle->Script, fsSuperscript);
    EXPECT_EQ(handle->Style, fsItalic | fsUnderline);
    EXPECT_EQ(font.Height(), -19);
    font.SetHeight(-16);
    EXPECT_EQ(font.Size(), 12);
    // Fonts are shared: a second style with the same edits gets the same font handle.
    SpreadSheetCellStyle other(owner);
    other.Font().Assign(style.Handle()->Font());
    EXPECT_EQ(other.Handle()->Font(), style.Handle()->Font());
}

TEST_F(CellStyleTest, DataFormatByCodeAndByNumber)
{
    style.DataFormat().SetFormatCode(QStringLiteral("0.00"));
    EXPECT_EQ(style.DataFormat().FormatCodeID(), 2);
    style.DataFormat().SetFormatCode(QStringLiteral("0.0000"));
    EXPECT_EQ(style.DataFormat().FormatCodeID(), -1);
    EXPECT_EQ(style.DataFormat().FormatCode(), QStringLiteral("0.0000"));
    style.DataFormat().SetFormatCodeID(14);
    EXPECT_TRUE(style.DataFormat().IsDateTime());
    EXPECT_FALSE(style.DataFormat().IsTime());

    SpreadSheetCellStyleHandle* before = style.Handle();
    const int changing = owner.changing;
    EXPECT_THROW(style.DataFormat().SetFormatCodeID(30), ESpreadSheetError);
    EXPECT_EQ(style.Handle(), before);
    EXPECT_EQ(owner.changing, changing);
    EXPECT_FALSE(style.IsUpdating());
}

TEST_F(CellStyleTest, AssignAndSetHandleShareTheHandle)
{
    style.SetAlignHorz(ssahRight);
    SpreadSheetCellStyle copy(owner);
    copy.Assign(style);
    EXPECT_EQ(copy.Handle(), style.Handle());

    // A style of another workbook is cloned into this one.
    RecordingOwner otherOwner;
    SpreadSheetCellStyle foreign(otherOwner);
    foreign.SetAlignVert(ssavTop);
    copy.Assign(foreign);
    EXPECT_EQ(copy.Handle()->Table(), &styles);
    EXPECT_EQ(copy.AlignVert(), ssavTop);
    EXPECT_EQ(copy.AlignHorz(), ssahGeneral);
}

TEST_F(CellStyleTest, DefaultStyleEditsChangeEveryUser)
{
    SpreadSheetDefaultCellStyle defaultStyle(owner);
    SpreadSheetCellStyle cell(owner);
    ASSERT_EQ(cell.Handle(), styles.DefaultStyle());
    const int changing = owner.changing;
    defaultStyle.Font().SetName(QStringLiteral("Arial"));
    EXPECT_EQ(defaultStyle.Handle(), styles.DefaultStyle());
    EXPECT_EQ(cell.Handle(), styles.DefaultStyle());
    EXPECT_EQ(cell.Font().Name(), QStringLiteral("Arial"));
    EXPECT_EQ(owner.changing, changing); // nothing to record: the handle stays
    EXPECT_GT(owner.changed, 0);

    // A new style equal to the edited default is the default.
    SpreadSheetCellStyle fresh(owner);
    fresh.Font().SetName(QStringLiteral("Tahoma"));
    fresh.Font().SetName(QStringLiteral("Arial"));
    EXPECT_EQ(fresh.Handle(), styles.DefaultStyle());

    defaultStyle.Reset();
    EXPECT_EQ(cell.Font().Name(), QStringLiteral("Calibri"));
}

// Owner processing helpers

SpreadSheetCellStyleHandle* styleWith(SpreadSheetCellStyles& styles, void (*edit)(SpreadSheetCellStyle&))
{
    struct LocalOwner final : ISpreadSheetCellStyleOwner {
        explicit LocalOwner(SpreadSheetCellStyles& styles)
            : styles_(styles)
        {
        }
        SpreadSheetCellStyles& CellStyles() override { return styles_; }
        const SpreadSheetFormatSettings& FormatSettings() override { return settings_; }
        void StyleChanging() override { }
        void StyleChanged() override { }
        void ProcessStyleChanged(SpreadSheetCellStyleHandle*, SpreadSheetCellStyleHandle*) override { }
        SpreadSheetCellStyles& styles_;
        SpreadSheetFormatSettings settings_;
    } local(styles);
    SpreadSheetCellStyle style(local);
    edit(style);
    style.Handle()->AddRef(); // kept until the table dies
    return style.Handle();
}

TEST_F(CellStyleTest, MergeTakesRowThenColumn)
{
    SpreadSheetCellStyleHandle* column = styleWith(styles, [](SpreadSheetCellStyle& s) {
        s.Font().SetStyle(fsItalic);
        s.Borders(bLeft).SetStyle(sscbsThin);
        s.Borders(bTop).SetStyle(sscbsThin);
    });
    SpreadSheetCellStyleHandle* row = styleWith(styles, [](SpreadSheetCellStyle& s) {
        s.SetAlignHorz(ssahCenter);
        s.Borders(bBottom).SetStyle(sscbsDouble);
        s.Borders(bRight).SetStyle(sscbsDouble);
    });
    SpreadSheetCellStyleHandle* defaultStyle = styles.DefaultStyle();

    struct Case {
        const char* what;
        SpreadSheetCellStyleHandle* column;
        SpreadSheetCellStyleHandle* row;
        SpreadSheetCellStyleHandle* base;
        std::array<SpreadSheetCellBorderStyle, 4> borders; // left, top, right, bottom
    };
    const Case cases[] = {
        { "both default", nullptr, nullptr, defaultStyle, { sscbsDefault, sscbsDefault, sscbsDefault, sscbsDefault } },
        { "same handle", column, column, column, { sscbsThin, sscbsThin, sscbsDefault, sscbsDefault } },
        { "column only", column, nullptr, column, { sscbsThin, sscbsDefault, sscbsDefault, sscbsDefault } },
        { "row only", nullptr, row, row, { sscbsDefault, sscbsDefault, sscbsDefault, sscbsDouble } },
        { "both", column, row, row, { sscbsThin, sscbsDefault, sscbsDefault, sscbsDouble } },
    };
    for (const Case& c : cases) {
        SpreadSheetCellStyleHandle* merged = MergeStyleHandles(styles, c.column, c.row);
        EXPECT_EQ(merged->AlignHorz, c.base->AlignHorz) << c.what;
        EXPECT_EQ(merged->Font(), c.base->Font()) << c.what;
        for (SpreadSheetBorder side : { bLeft, bTop, bRight, bBottom })
            EXPECT_EQ(merged->Borders()->Style(side), c.borders[static_cast<std::size_t>(side)]) << c.what;
    }

    SpreadSheetCellStyle rowStyle(owner, row);
    SpreadSheetCellStyle columnStyle(owner, column);
    style.Merge(&columnStyle, &rowStyle);
    EXPECT_EQ(style.Handle(), MergeStyleHandles(styles, column, row));
}

TEST_F(CellStyleTest, ApplyStyleDifferencesTakesOnlyWhatChanged)
{
    SpreadSheetCellStyleHandle* cell = styleWith(styles, [](SpreadSheetCellStyle& s) {
        s.Font().SetStyle(fsItalic);
        s.Brush().SetBackgroundColor(0x00FFFF);
        s.SetAlignHorz(ssahRight);
        s.SetRotation(45);
        s.DataFormat().SetFormatCode(QStringLiteral("0.0"));
    });
    SpreadSheetCellStyleHandle* defaultStyle = styles.DefaultStyle();

    struct Case {
        const char* what;
        void (*edit)(SpreadSheetCellStyle&);
        void (*check)(const SpreadSheetCellStyleHandle&);
    };
    const Case cases[] = {
        { "bold keeps italic", [](SpreadSheetCellStyle& s) { s.Font().SetStyle(fsBold); },
            [](const SpreadSheetCellStyleHandle& h) {
                EXPECT_EQ(h.Font()->Style, fsBold | fsItalic);
                EXPECT_EQ(h.Brush()->BackgroundColor, 0x00FFFFu);
                EXPECT_EQ(h.AlignHorz, ssahRight);
            } },
        { "fill keeps font", [](SpreadSheetCellStyle& s) { s.Brush().SetForegroundColor(0x123456); },
            [](const SpreadSheetCellStyleHandle& h) {
                EXPECT_EQ(h.Brush()->ForegroundColor, 0x123456u);
                EXPECT_EQ(h.Brush()->BackgroundColor, 0x00FFFFu);
                EXPECT_EQ(h.Font()->Style, fsItalic);
            } },
        { "alignment", [](SpreadSheetCellStyle& s) { s.SetAlignVert(ssavTop); },
            [](const SpreadSheetCellStyleHandle& h) {
                EXPECT_EQ(h.AlignVert, ssavTop);
                EXPECT_EQ(h.AlignHorz, ssahRight);
                EXPECT_EQ(h.Rotation, 45);
            } },
        { "one border", [](SpreadSheetCellStyle& s) { s.Borders(bTop).SetStyle(sscbsMedium); },
            [](const SpreadSheetCellStyleHandle& h) {
                EXPECT_EQ(h.Borders()->Style(bTop), sscbsMedium);
                EXPECT_EQ(h.Borders()->Style(bLeft), sscbsDefault);
            } },
        { "state bit", [](SpreadSheetCellStyle& s) { s.SetWordWrap(true); },
            [](const SpreadSheetCellStyleHandle& h) { EXPECT_EQ(h.States, csLocked | csWordWrap); } },
        { "format", [](SpreadSheetCellStyle& s) { s.DataFormat().SetFormatCodeID(10); },
            [](const SpreadSheetCellStyleHandle& h) { EXPECT_EQ(h.DataFormat()->FormatCodeID, 10); } },
        { "rotation stays", [](SpreadSheetCellStyle& s) { s.SetRotation(90); },
            [](const SpreadSheetCellStyleHandle& h) { EXPECT_EQ(h.Rotation, 45); } },
    };
    for (const Case& c : cases) {
        SpreadSheetCellStyleHandle* next = styleWith(styles, c.edit);
        SpreadSheetCellStyleHandle* result = ApplyStyleDifferences(styles, cell, defaultStyle, next);
        SCOPED_TRACE(c.what);
        c.check(*result);
    }
    EXPECT_EQ(ApplyStyleDifferences(styles, cell, defaultStyle, defaultStyle), cell);
}

TEST_F(CellStyleTest, ApplyFontDifferencesPerAttribute)
{
    SpreadSheetFonts& fonts = styles.Fonts();
    auto font = [&](const QString& name, int size, SpreadSheetFontStyles bits) {
        auto handle = std::make_unique<SpreadSheetFontHandle>();
        handle->Name = name;
        handle->Size = size;
        handle->Style = bits;
        return fonts.AddFont(std::move(handle));
    };
    struct Case {
        SpreadSheetFontHandle* target;
        SpreadSheetFontHandle* prev;
        SpreadSheetFontHandle* next;
        QString name;
        int size;
        SpreadSheetFontStyles style;
    };
    const Case cases[] = {
        { font("Arial", 9, fsItalic), font("Calibri", 11, 0), font("Calibri", 11, fsBold), "Arial", 9,
            fsItalic | fsBold },
        { font("Arial", 9, fsBold | fsItalic), font("Calibri", 11, fsBold), font("Calibri", 11, 0), "Arial", 9,
            fsItalic },
        { font("Arial", 9, fsItalic), font("Calibri", 11, 0), font("Calibri", 16, 0), "Arial", 16, fsItalic },
        { font("Arial", 9, 0), font("Calibri", 11, 0), font("Tahoma", 11, fsUnderline), "Tahoma", 9, fsUnderline },
    };
    for (const Case& c : cases) {
        SpreadSheetFontHandle* result = ApplyFontDifferences(fonts, c.target, c.prev, c.next);
        EXPECT_EQ(result->Name, c.name);
        EXPECT_EQ(result->Size, c.size);
        EXPECT_EQ(result->Style, c.style);
    }
}

TEST_F(CellStyleTest, RebuildRunFontsAppliesTheCellFontChange)
{
    SpreadSheetSharedStringTable strings(styles.Fonts());
    SpreadSheetFonts& fonts = styles.Fonts();
    auto italic = fonts.DefaultFont()->Clone();
    italic->Style = fsItalic;
    SpreadSheetFontHandle* italicFont = fonts.AddFont(std::move(italic));
    auto rich = std::make_unique<SpreadSheetFormattedSharedString>(QStringLiteral("plain italic"));
    rich->AddRun(0, fonts.DefaultFont());
    rich->AddRun(6, italicFont, 7);
    SpreadSheetSharedString* value = strings.Add(std::move(rich));

    auto bold = fonts.DefaultFont()->Clone();
    bold->Style = fsBold;
    SpreadSheetFontHandle* boldFont = fonts.AddFont(std::move(bold));
    auto* rebuilt = static_cast<SpreadSheetFormattedSharedString*>(
        RebuildRunFonts(strings, value, fonts.DefaultFont(), boldFont));
    ASSERT_NE(rebuilt, value);
    ASSERT_EQ(rebuilt->Runs().size(), 2u);
    EXPECT_EQ(rebuilt->Runs()[0].FontHandle.Get(), boldFont);
    EXPECT_EQ(rebuilt->Runs()[1].FontHandle->Style, fsBold | fsItalic);
    EXPECT_EQ(rebuilt->Runs()[1].StartIndex, 6);
    EXPECT_EQ(rebuilt->Runs()[1].Tag, 7);
    // Back again gives the original string.
    EXPECT_EQ(RebuildRunFonts(strings, rebuilt, boldFont, fonts.DefaultFont()), value);
    SpreadSheetSharedString* plain = strings.Add(QStringLiteral("plain"));
    EXPECT_EQ(RebuildRunFonts(strings, plain, fonts.DefaultFont(), boldFont), plain);
}

TEST_F(CellStyleTest, NeighbourBorderHelpers)
{
    EXPECT_EQ(OppositeBorder(bLeft), bRight);
    EXPECT_EQ(OppositeBorder(bTop), bBottom);
    EXPECT_EQ(OppositeBorder(bRight), bLeft);
    EXPECT_EQ(OppositeBorder(bBottom), bTop);

    SpreadSheetCellStyleHandle* defaultStyle = styles.DefaultStyle();
    SpreadSheetCellStyleHandle* thickLeft
        = SetStyleBorder(styles, defaultStyle, bLeft, kDefaultColor, sscbsThick);
    EXPECT_EQ(thickLeft->Borders()->Style(bLeft), sscbsThick);
    EXPECT_EQ(DifferingBorders(defaultStyle, thickLeft), 1u << static_cast<int>(bLeft));
    EXPECT_EQ(SetStyleBorder(styles, thickLeft, bLeft, kDefaultColor, sscbsThick), thickLeft);
    SpreadSheetCellStyleHandle* red = SetStyleBorder(styles, thickLeft, bBottom, 0x0000FF, sscbsDefault);
    EXPECT_EQ(DifferingBorders(thickLeft, red), 1u << static_cast<int>(bBottom));
    EXPECT_EQ(DifferingBorders(red, red), 0u);

    // What a cell owner does for B2 getting a thick left border: A2 gets a thick right one.
    SpreadSheetCellStyleHandle* a2 = defaultStyle;
    const unsigned sides = DifferingBorders(defaultStyle, thickLeft);
    for (SpreadSheetBorder side : { bLeft, bTop, bRight, bBottom }) {
        if (sides & (1u << static_cast<int>(side)) && side == bLeft)
            a2 = SetStyleBorder(styles, a2, OppositeBorder(side), thickLeft->Borders()->Color(side),
                thickLeft->Borders()->Style(side));
    }
    EXPECT_EQ(a2->Borders()->Style(bRight), sscbsThick);

    EXPECT_TRUE(StyleChangeAffectsBestFit(defaultStyle, thickLeft));
    SpreadSheetCellStyleHandle* centered = styleWith(styles, [](SpreadSheetCellStyle& s) { s.SetAlignHorz(ssahCenter); });
    EXPECT_FALSE(StyleChangeAffectsBestFit(defaultStyle, centered));
}

} // namespace
} // namespace quorvel
