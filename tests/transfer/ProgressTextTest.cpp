// SPDX-License-Identifier: MIT
#include "transfer/ProgressText.h"
#include "tests/automation/QStringPrinter.h"

#include <QLocale>

#include <gtest/gtest.h>

class ProgressText : public ::testing::Test
{
protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

TEST_F(ProgressText, SizesAreMegabytesToTheNearestHundredth)
{
    EXPECT_EQ(megabytesText(1536), QStringLiteral("1.50 MB"));
    EXPECT_EQ(megabytesText(5), QStringLiteral("0.00 MB"));
    EXPECT_EQ(megabytesText(6), QStringLiteral("0.01 MB"));
    EXPECT_EQ(megabytesText(4'194'303), QStringLiteral("4096.00 MB"));
}

TEST_F(ProgressText, PercentageIsWholeNeverAboveAHundredAndEmptyWithoutATotal)
{
    EXPECT_EQ(percentText(0, 0), QString());
    EXPECT_EQ(percentText(3, 0), QString());
    EXPECT_EQ(percentText(0, 2048), QStringLiteral("0.00 %"));
    EXPECT_EQ(percentText(1023, 2048), QStringLiteral("49.00 %"));
    EXPECT_EQ(percentText(2048, 2048), QStringLiteral("100.00 %"));
    EXPECT_EQ(percentText(2100, 2048), QStringLiteral("100.00 %"));
    EXPECT_EQ(percentText(4'000'000'000u, 4'000'000'001u), QStringLiteral("99.00 %"));
}

TEST_F(ProgressText, DurationsOfADayOrMoreKeepCountingHours)
{
    EXPECT_EQ(durationText(0), longTimeText(0.0));
    EXPECT_TRUE(durationText(3725).contains(QStringLiteral("1:02:05")));
    EXPECT_EQ(durationText(27 * 3600 + 3 * 60 + 10), QStringLiteral("27:03:10"));
    EXPECT_EQ(durationText(86'400), QStringLiteral("24:00:00"));
    EXPECT_FALSE(longTimeText(0.5).contains(QStringLiteral("UTC")));
}

TEST_F(ProgressText, DurationsHaveNoHalfOfTheDayInATwelveHourLocale)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(longTimeText(14 / 86'400.0), QStringLiteral("0:00:14"));
    EXPECT_EQ(durationText(13 * 3600 + 5), QStringLiteral("13:00:05"));
    QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
    EXPECT_EQ(durationText(14), QStringLiteral("0시 0분 14초"));
    // Quoted letters of a format are text, not fields.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::Canada));
    EXPECT_EQ(durationText(3725), QStringLiteral("01 h 02 min 05 s"));
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    EXPECT_EQ(durationText(14), QStringLiteral("00:00:14"));
    EXPECT_EQ(megabytesText(4'194'303), QStringLiteral("4096.00 MB"));
}
