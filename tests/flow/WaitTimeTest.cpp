// SPDX-License-Identifier: MIT
#include "flow/WaitTime.h"
#include "tests/automation/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {
constexpr double second = 1.0 / 86'400;
}

TEST(RemainingTimeText, ReadsHoursMinutesSecondsAndZeroAroundTheDeadline)
{
    EXPECT_EQ(remainingTimeText(65 * second), QStringLiteral("00:01:05"));
    EXPECT_EQ(remainingTimeText(7 * 3600 * second), QStringLiteral("07:00:00"));
    EXPECT_EQ(remainingTimeText(0.999 * second), QStringLiteral("00:00:00"));
    EXPECT_EQ(remainingTimeText(-0.999 * second), QStringLiteral("00:00:00"));
    // A late tick reads the overshoot, not a negative number.
    EXPECT_EQ(remainingTimeText(-3 * second), QStringLiteral("00:00:03"));
    EXPECT_EQ(remainingTimeText(1.0 + 5 * second), QStringLiteral("00:00:05"));
}

TEST(WaitIsOver, EndsOnTheFirstTickAtOrPastTheDeadlineAlsoAcrossMidnight)
{
    const double start = 1.0 - 10 * second; // 23:59:50
    const double minute = 60 * second;
    EXPECT_FALSE(waitIsOver(start, minute, start + 30 * second));
    EXPECT_FALSE(waitIsOver(start, minute, 48 * second));
    EXPECT_TRUE(waitIsOver(start, minute, 50 * second));
    EXPECT_TRUE(waitIsOver(start, minute, 55 * second));
    EXPECT_NEAR(elapsedSince(start, 20 * second), 30 * second, 1e-12);
}
