#include "model/SpreadSheetStrings.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(ResourceString, ShippedRussianTranslationReplacesDefaults)
{
    Localizer::Reset();
    EXPECT_EQ(sDefaultSheetCaption.Format({ QStringLiteral("1") }), QStringLiteral("Sheet1"));
    ASSERT_TRUE(Localizer::ActivateShipped(kLocaleRussian));
    EXPECT_EQ(sDefaultSheetCaption.Format({ QStringLiteral("1") }), QStringLiteral("Лист1"));
    EXPECT_EQ(sTrue.Text(), QStringLiteral("Да"));
    // Inner quotes survive: only the outer pair delimits the value.
    EXPECT_EQ(sErrorCellAlreadyExists.Format({ QStringLiteral("3") }),
        QStringLiteral("Ячейка с индексом \"3 \" уже существует"));
    // A key without a translation keeps its English text.
    EXPECT_EQ(sErrorMaxOutlineLevel.Text(), QString::fromUtf8(sErrorMaxOutlineLevel.defaultText));
    Localizer::Reset();
    EXPECT_EQ(sTrue.Text(), QStringLiteral("True"));
}

TEST(ResourceString, ActivateRefusesMissingSection)
{
    Localizer::Reset();
    EXPECT_FALSE(Localizer::Activate(QStringLiteral("[1033]\nsTrue=\"Yes\"\n"), kLocaleRussian));
    EXPECT_EQ(Localizer::ActiveLocaleId(), 0);
    EXPECT_TRUE(Localizer::Activate(QStringLiteral("[1049]\r\nsTrue=\"Ja\"\r\n"), kLocaleRussian));
    EXPECT_EQ(sTrue.Text(), QStringLiteral("Ja"));
    Localizer::Reset();
}

TEST(ResourceString, FormatPlaceholdersInOrder)
{
    EXPECT_EQ(FormatPlaceholders(QStringLiteral("%s-%d-%%-%s"), { QStringLiteral("a"), QStringLiteral("1") }),
        QStringLiteral("a-1-%-"));
}

} // namespace
} // namespace quorvel
