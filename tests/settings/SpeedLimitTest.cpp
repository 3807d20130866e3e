// SPDX-License-Identifier: MIT
#include "settings/SpeedLimit.h"
#include "settings/SpeedLimitTimer.h"
#include "tests/support/Budget.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <optional>

namespace {
using namespace std::chrono_literals;

SpeedLimit limit(bool limited, bool scheduled, QTime from, QTime to)
{
    SpeedLimit speed;
    speed.limited = limited;
    speed.kibPerSecond = 100;
    speed.scheduled = scheduled;
    speed.scheduledKibPerSecond = 10;
    speed.from = from;
    speed.to = to;
    return speed;
}

TEST(SpeedLimit, TheHoursDecideWhichLimitHoldsAndWhenItNextChanges)
{
    struct Row
    {
        SpeedLimit speed;
        QTime at;
        qint64 bytesPerSecond;
        std::optional<int> msecsToChange;
    };
    const SpeedLimit daytime = limit(false, true, QTime(8, 0), QTime(23, 0));
    const SpeedLimit overnight = limit(true, true, QTime(23, 0), QTime(7, 0));
    const Row rows[] = {
        {limit(false, false, QTime(8, 0), QTime(23, 0)), QTime(12, 0), 0, std::nullopt},
        {limit(true, false, QTime(8, 0), QTime(23, 0)), QTime(12, 0), 100 * 1024, std::nullopt},
        {daytime, QTime(7, 59, 59), 0, 1000},
        {daytime, QTime(8, 0), 10 * 1024, 15 * 3600 * 1000},
        {daytime, QTime(22, 59, 59, 999), 10 * 1024, 1},
        {daytime, QTime(23, 0), 0, 9 * 3600 * 1000},
        {overnight, QTime(23, 30), 10 * 1024, 7 * 3600 * 1000 + 30 * 60 * 1000},
        {overnight, QTime(6, 0), 10 * 1024, 3600 * 1000},
        {overnight, QTime(7, 0), 100 * 1024, 16 * 3600 * 1000},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(row.speed.bytesPerSecondAt(row.at), row.bytesPerSecond) << row.at.toString().toStdString();
        EXPECT_EQ(row.speed.msecsToNextChange(row.at), row.msecsToChange) << row.at.toString().toStdString();
    }
}

TEST(SpeedLimit, ALimitHeldAllDayHoldsAtEveryHourInWholeKiB)
{
    const SpeedLimit daytime = limit(true, true, QTime(8, 0), QTime(23, 0));
    const std::pair<qint64, qint64> rows[] = {{0, 0},
                                              {1, 1024},
                                              {2 * 1024 * 1024, 2 * 1024 * 1024},
                                              {1025, 2048},
                                              {qint64(1) << 40, qint64(SpeedLimit::maxKiB) * 1024}};
    for (const auto &[asked, held] : rows) {
        const SpeedLimit allDay = daytime.heldAllDay(asked);
        for (const QTime at : {QTime(3, 0), QTime(12, 0)})
            EXPECT_EQ(allDay.bytesPerSecondAt(at), held) << asked;
        EXPECT_EQ(allDay.from, daytime.from);
    }
}

TEST(SpeedLimitTimer, SwitchesAtTheBoundaryOfTheHours)
{
    int argc = 0;
    QCoreApplication app(argc, nullptr);
    QTime now(7, 59, 59, 950);
    SpeedLimitTimer timer([&now] { return now; });
    QSignalSpy changes(&timer, &SpeedLimitTimer::bytesPerSecondChanged);
    timer.setLimit(limit(false, true, QTime(8, 0), QTime(23, 0)));
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.takeFirst().at(0).toLongLong(), 0);
    now = QTime(8, 0);
    ASSERT_TRUE(runWithinBudget([&] { return changes.count() == 1; }, 2s));
    EXPECT_EQ(changes.takeFirst().at(0).toLongLong(), 10 * 1024);
    EXPECT_EQ(timer.bytesPerSecond(), 10 * 1024);
}

} // namespace
