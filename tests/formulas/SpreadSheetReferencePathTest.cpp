#include "formulas/SpreadSheetReferencePath.h"
#include "formulas/SpreadSheetReferences.h"

#include <gtest/gtest.h>

#include <map>

namespace quorvel {
namespace {

class FakeSheet final : public ISpreadSheetViewCaption {
public:
    FakeSheet(QString caption, bool delimited)
        : caption_(std::move(caption))
        , delimited_(delimited)
    {
    }
    QString GetCaption() const override { return caption_; }
    bool GetIsCaptionTextDelimited() const override { return delimited_; }
    // The path only keeps sheets as handles; it never looks inside one.
    SpreadSheetTableView* Handle() { return reinterpret_cast<SpreadSheetTableView*>(this); }

private:
    QString caption_;
    bool delimited_;
};

class SpreadSheetReferencePathTest : public ::testing::Test {
protected:
    FakeSheet sheet1_ { QStringLiteral("Sheet1"), false };
    FakeSheet mySheet_ { QStringLiteral("My Sheet"), true };
    SpreadSheetViewCaptionFunction captionOf_ = [this](const SpreadSheetTableView* sheet) {
        const std::map<const SpreadSheetTableView*, const ISpreadSheetViewCaption*> sheets
            = { { sheet1_.Handle(), &sheet1_ }, { mySheet_.Handle(), &mySheet_ } };
        const auto found = sheets.find(sheet);
        return found == sheets.end() ? nullptr : found->second;
    };

    std::vector<QString> Texts(const SpreadSheetReferencePath& path) const
    {
        std::vector<QString> texts;
        for (const SpreadSheetReferencePath* node = &path; node != nullptr; node = node->Next())
            texts.push_back(node->ToString(captionOf_));
        return texts;
    }
};

TEST_F(SpreadSheetReferencePathTest, TextOfEachCell)
{
    SpreadSheetReferencePath path(2, 1, sheet1_.Handle());
    path.Add(0, 27, mySheet_.Handle());
    path.Add(kMaxRowIndex, kMaxColumnIndex, nullptr);
    EXPECT_EQ(Texts(path),
        (std::vector<QString> {
            QStringLiteral("Sheet1!B3"), QStringLiteral("'My Sheet'!AB1"), QStringLiteral("XFD1048576") }));
    EXPECT_EQ(path.ToString(), QStringLiteral("B3"));
}

TEST_F(SpreadSheetReferencePathTest, SheetPrefixFollowsTheSheetsQuotingFlag)
{
    EXPECT_EQ(SpreadSheetReferenceAsString::BuildViewReference(&sheet1_), QStringLiteral("Sheet1!"));
    EXPECT_EQ(SpreadSheetReferenceAsString::BuildViewReference(&mySheet_), QStringLiteral("'My Sheet'!"));
    EXPECT_EQ(SpreadSheetReferenceAsString::BuildViewReference(nullptr), QString());
}

TEST_F(SpreadSheetReferencePathTest, RemoveTakesOnlyAMatchingLastNode)
{
    SpreadSheetReferencePath path(0, 0, sheet1_.Handle());
    path.Add(1, 1, sheet1_.Handle());
    path.Add(2, 2, mySheet_.Handle());

    EXPECT_FALSE(path.Remove(1, 1, sheet1_.Handle())); // not the last node
    EXPECT_FALSE(path.Remove(2, 2, sheet1_.Handle())); // another sheet
    EXPECT_FALSE(path.Remove(2, 3, mySheet_.Handle()));
    EXPECT_EQ(Texts(path).size(), 3u);

    EXPECT_TRUE(path.Remove(2, 2, mySheet_.Handle()));
    EXPECT_TRUE(path.Remove(1, 1, sheet1_.Handle()));
    EXPECT_EQ(Texts(path), (std::vector<QString> { QStringLiteral("Sheet1!A1") }));
    EXPECT_FALSE(path.Remove(0, 0, sheet1_.Handle())); // the head stays
    EXPECT_EQ(path.Next(), nullptr);
}

} // namespace
} // namespace quorvel
