// SPDX-License-Identifier: MIT
#include "power/ShutdownCountdown.h"
#include "tests/support/Budget.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// Each signal written down in order, so a test sees both what ended the count and how.
class ShutdownCountdownTest : public ::testing::Test
{
protected:
    ShutdownCountdownTest()
    {
        QObject::connect(&countdown, &ShutdownCountdown::tick, &countdown,
                         [this](int seconds) { events << QString::number(seconds); });
        QObject::connect(&countdown, &ShutdownCountdown::expired, &countdown,
                         [this] { events << QStringLiteral("expired"); });
        QObject::connect(&countdown, &ShutdownCountdown::cancelled, &countdown,
                         [this] { events << QStringLiteral("cancelled"); });
        QObject::connect(&countdown, &ShutdownCountdown::finished, &countdown,
                         [this] { events << QStringLiteral("finished"); });
    }

    ShutdownCountdown countdown{1ms};
    QStringList events;
};

TEST_F(ShutdownCountdownTest, CountsDownAndExpiresOnceIgnoringRestarts)
{
    ASSERT_TRUE(countdown.start(3, QStringLiteral("下载已完成")));
    EXPECT_FALSE(countdown.start(60, QStringLiteral("下载已完成")));
    EXPECT_EQ(countdown.remaining(), 3);
    ASSERT_TRUE(runWithinBudget([this] { return !countdown.isRunning(); }, 5s));
    EXPECT_EQ(events, (QStringList{QStringLiteral("2"), QStringLiteral("1"),
                                   QStringLiteral("expired"), QStringLiteral("finished")}));
}

TEST_F(ShutdownCountdownTest, CancelAndWithdrawEndTheCountWithoutExpiry)
{
    countdown.start(60, QStringLiteral("下载已完成"));
    countdown.cancel();
    countdown.cancel();
    EXPECT_EQ(events, (QStringList{QStringLiteral("cancelled"), QStringLiteral("finished")}));

    events.clear();
    countdown.start(60, QStringLiteral("下载已完成"));
    countdown.withdraw();
    EXPECT_FALSE(countdown.isRunning());
    EXPECT_EQ(events, QStringList{QStringLiteral("finished")});
}

} // namespace
