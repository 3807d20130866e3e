// SPDX-License-Identifier: MIT
#include "automation/TextConversions.h"

#include "QStringPrinter.h"
#include "QuorvelErrorOf.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

struct IntegerRow
{
    const char *text;
    std::optional<std::int32_t> value; // nullopt: the conversion fails
};

class TextToInteger : public testing::TestWithParam<IntegerRow>
{
};

TEST_P(TextToInteger, convertsOrNamesTheText)
{
    const QString text = QString::fromUtf8(GetParam().text);
    if (GetParam().value) {
        EXPECT_EQ(textToInteger(text), *GetParam().value);
        return;
    }
    EXPECT_EQ(quorvelErrorOf([&] { textToInteger(text); }), u"'"_s + text + u"' 不是一个合法的整数值"_s);
}

INSTANTIATE_TEST_SUITE_P(Rows, TextToInteger, testing::Values(
    IntegerRow{"45", 45}, IntegerRow{"0", 0}, IntegerRow{"007", 7},
    IntegerRow{"   45", 45}, IntegerRow{"+45", 45}, IntegerRow{"-90", -90}, IntegerRow{" -9", -9},
    IntegerRow{"$1F", 31}, IntegerRow{"$1f", 31}, IntegerRow{"x10", 16}, IntegerRow{"X10", 16},
    IntegerRow{"0x10", 16}, IntegerRow{"0XfF", 255}, IntegerRow{"-$10", -16}, IntegerRow{"-0x10", -16},
    IntegerRow{"2147483647", std::numeric_limits<std::int32_t>::max()},
    IntegerRow{"-2147483648", std::numeric_limits<std::int32_t>::min()},
    IntegerRow{"$7FFFFFFF", std::numeric_limits<std::int32_t>::max()},
    IntegerRow{"-$80000000", std::numeric_limits<std::int32_t>::min()},
    IntegerRow{"00000000000000000000012", 12},
    // Failures: nothing, no digits, trailing text, out of range, blanks other than spaces.
    IntegerRow{"", std::nullopt}, IntegerRow{" ", std::nullopt}, IntegerRow{"-", std::nullopt},
    IntegerRow{"$", std::nullopt}, IntegerRow{"0x", std::nullopt}, IntegerRow{"x", std::nullopt},
    IntegerRow{"45 ", std::nullopt}, IntegerRow{"45;", std::nullopt}, IntegerRow{"5;a", std::nullopt},
    IntegerRow{"4 5", std::nullopt}, IntegerRow{"+-4", std::nullopt}, IntegerRow{"$G", std::nullopt},
    IntegerRow{"1F", std::nullopt}, IntegerRow{"\t4", std::nullopt}, IntegerRow{"\n", std::nullopt},
    IntegerRow{"2147483648", std::nullopt}, IntegerRow{"-2147483649", std::nullopt},
    IntegerRow{"$80000000", std::nullopt}, IntegerRow{"99999999999999999999999", std::nullopt},
    IntegerRow{"４５", std::nullopt}));

struct TimeRow
{
    const char *text;
    std::optional<int> seconds; // nullopt: the conversion fails
};

class TextToTime : public testing::TestWithParam<TimeRow>
{
};

TEST_P(TextToTime, convertsToDaysOrNamesTheText)
{
    const QString text = QString::fromUtf8(GetParam().text);
    if (GetParam().seconds) {
        EXPECT_DOUBLE_EQ(textToTime(text), *GetParam().seconds / 86400.0);
        return;
    }
    EXPECT_EQ(quorvelErrorOf([&] { textToTime(text); }), u"‘"_s + text + u"’不是一个有效时间"_s);
}

INSTANTIATE_TEST_SUITE_P(Rows, TextToTime, testing::Values(
    TimeRow{"0:0:45", 45}, TimeRow{"0:12:0", 720}, TimeRow{"1:2:5", 3725}, TimeRow{"23:59:59", 86399},
    TimeRow{"00:01:05", 65}, TimeRow{"0:0:0", 0},
    TimeRow{"24:0:0", std::nullopt}, TimeRow{"0:60:0", std::nullopt}, TimeRow{"0:0:60", std::nullopt},
    TimeRow{"0:65535:-30", std::nullopt}, TimeRow{"", std::nullopt}, TimeRow{"1:2", std::nullopt},
    TimeRow{"1:2:3:4", std::nullopt}, TimeRow{"::", std::nullopt}, TimeRow{"1::3", std::nullopt},
    TimeRow{" 1:2:3", std::nullopt}, TimeRow{"1:2:3 ", std::nullopt}, TimeRow{"+1:2:3", std::nullopt},
    TimeRow{"99999999999999999999:0:0", std::nullopt}));

TEST(FormatSecsToHMS, writesUnpaddedFieldsWithSixteenBitHoursAndMinutes)
{
    EXPECT_EQ(FormatSecsToHMS(45), u"0:0:45");
    EXPECT_EQ(FormatSecsToHMS(65), u"0:1:5");
    EXPECT_EQ(FormatSecsToHMS(720), u"0:12:0");
    EXPECT_EQ(FormatSecsToHMS(3725), u"1:2:5");
    EXPECT_EQ(FormatSecsToHMS(86400), u"24:0:0");
    EXPECT_EQ(FormatSecsToHMS(0), u"0:0:0");
    EXPECT_EQ(FormatSecsToHMS(-90), u"0:65535:-30");
    EXPECT_EQ(FormatSecsToHMS(std::numeric_limits<std::int32_t>::max()), u"6699:14:7");
    EXPECT_EQ(FormatSecsToHMS(std::numeric_limits<std::int32_t>::min()), u"58837:65522:-8");
}

} // namespace
