// SPDX-License-Identifier: MIT
#include "flow/EntryRetry.h"
#include "flow/RetrySchedule.h"

#include <gtest/gtest.h>

#include <vector>

using namespace std::chrono_literals;
using Seconds = std::chrono::seconds;

namespace {

/** The waits a schedule gives when every retry fails at once, until it gives up. */
std::vector<Seconds> waitsUntilSpent(const RetrySchedule &schedule, std::optional<int> retryAfter = {})
{
    std::vector<Seconds> waits;
    Seconds triedFor{0};
    while (const auto wait = schedule.nextWait(int(waits.size()), triedFor, retryAfter)) {
        waits.push_back(*wait);
        triedFor += *wait;
        if (waits.size() > 100)
            break;
    }
    return waits;
}

constexpr double second = 1.0 / 86'400;

} // namespace

TEST(RetrySchedule, BacksOffToTenMinutesWithinAnHour)
{
    EXPECT_EQ(waitsUntilSpent(RetrySchedule::unattended(60min)),
              (std::vector<Seconds>{30s, 1min, 2min, 4min, 8min, 10min, 10min, 10min, 10min}));
    EXPECT_TRUE(waitsUntilSpent(RetrySchedule::unattended(0s)).empty());
    EXPECT_EQ(waitsUntilSpent(RetrySchedule::unattended(90s)), (std::vector<Seconds>{30s, 1min}));
}

TEST(RetrySchedule, AnUnrecognisedPageGetsThreeTriesOverFiveMinutes)
{
    EXPECT_EQ(waitsUntilSpent(RetrySchedule::unrecognisedPage(60min)), (std::vector<Seconds>{1min, 2min, 2min}));
    // However long the walks between them take.
    const RetrySchedule schedule = RetrySchedule::unrecognisedPage(60min);
    EXPECT_EQ(schedule.nextWait(2, 10min), 2min);
    EXPECT_EQ(schedule.nextWait(3, 5min), std::nullopt);
    // Never longer than the whole budget the user gave.
    EXPECT_EQ(waitsUntilSpent(RetrySchedule::unrecognisedPage(2min)), (std::vector<Seconds>{1min}));
}

TEST(RetrySchedule, RetryAfterIsWaitedOutUpToTenMinutesButNeverShortensTheWait)
{
    const RetrySchedule schedule = RetrySchedule::unattended(60min);
    EXPECT_EQ(schedule.nextWait(0, 0s, 120), 120s);
    EXPECT_EQ(schedule.nextWait(0, 0s, 3600), 10min);
    EXPECT_EQ(schedule.nextWait(0, 0s, 0), 30s);
    EXPECT_EQ(schedule.nextWait(3, 0s, 5), 4min);
    // A server that always says "now" still gets a bounded number of requests.
    EXPECT_EQ(waitsUntilSpent(schedule, 0).size(), 9u);
    // And one that asks for more than the budget left ends the trying.
    EXPECT_EQ(schedule.nextWait(5, 55min, 600), std::nullopt);
}

TEST(EntryRetry, CountsFromTheEntrysFirstFailureAndStartsAfreshForAnother)
{
    EntryRetry retry(60min);
    const FailureCause refused = FailureCause::transient(QStringLiteral("连接被拒绝"));
    double now = 0.5;
    EntryRetry::Decision decision = retry.failed(QStringLiteral("A"), refused, EntryRetry::Budget::Full, now);
    EXPECT_EQ(decision.wait, 30s);
    EXPECT_EQ(decision.retry, 1);
    now += 31 * second;
    decision = retry.failed(QStringLiteral("A"), refused, EntryRetry::Budget::Full, now);
    EXPECT_EQ(decision.wait, 1min);
    EXPECT_EQ(decision.retry, 2);
    // An hour after A's first failure its budget is spent.
    decision = retry.failed(QStringLiteral("A"), refused, EntryRetry::Budget::Full, 0.5 + 3600 * second);
    EXPECT_EQ(decision.wait, std::nullopt);
    EXPECT_EQ(decision.cause.reason, QStringLiteral("连接被拒绝"));

    // Another entry, or A after it ended, starts with the first wait.
    decision = retry.failed(QStringLiteral("B"), refused, EntryRetry::Budget::Full, 0.6);
    EXPECT_EQ(decision.wait, 30s);
    retry.forget();
    decision = retry.failed(QStringLiteral("B"), refused, EntryRetry::Budget::Full, 0.6);
    EXPECT_EQ(decision.retry, 1);
}

TEST(EntryRetry, AnHourOfTryingAcrossMidnightIsStillAnHour)
{
    EntryRetry retry(60min);
    const FailureCause reset = FailureCause::transient(QStringLiteral("连接被重置"));
    retry.failed(QStringLiteral("A"), reset, EntryRetry::Budget::Full, 1.0 - 30 * 60 * second);
    EXPECT_TRUE(retry.failed(QStringLiteral("A"), reset, EntryRetry::Budget::Full, 20 * 60 * second).wait);
    EXPECT_FALSE(retry.failed(QStringLiteral("A"), reset, EntryRetry::Budget::Full, 31 * 60 * second).wait);
}

TEST(EntryRetry, PermanentCausesAndALinkRefusedTwiceFailAtOnce)
{
    EntryRetry retry(60min);
    EXPECT_FALSE(retry.failed(QStringLiteral("A"), FailureCause::fromPageStatus(404), EntryRetry::Budget::Full, 0.5)
                     .wait);

    const FailureCause expired = FailureCause::fromFileStatus(403);
    EntryRetry::Decision decision = retry.failed(QStringLiteral("B"), expired, EntryRetry::Budget::Full, 0.5);
    EXPECT_TRUE(decision.wait);
    EXPECT_EQ(decision.cause.kind, FailureCause::Kind::ExpiredLink);
    // Refused otherwise in between: the next 403 is a first one again.
    retry.failed(QStringLiteral("B"), FailureCause::fromFileStatus(503), EntryRetry::Budget::Full, 0.5);
    EXPECT_TRUE(retry.failed(QStringLiteral("B"), expired, EntryRetry::Budget::Full, 0.5).wait);
    decision = retry.failed(QStringLiteral("B"), expired, EntryRetry::Budget::Full, 0.5);
    EXPECT_FALSE(decision.wait);
    EXPECT_EQ(decision.cause.kind, FailureCause::Kind::Permanent);
    EXPECT_EQ(decision.cause.reason, QStringLiteral("HTTP 403"));
}

TEST(EntryRetry, AnUnrecognisedPageDrawsOnTheShortBudget)
{
    EntryRetry retry(60min);
    const FailureCause unknown = FailureCause::transient(QStringLiteral("页面无法识别"));
    double now = 0.5;
    int retries = 0;
    while (const auto wait = retry.failed(QStringLiteral("A"), unknown, EntryRetry::Budget::Short, now).wait) {
        now += double(wait->count()) * second;
        ASSERT_LT(++retries, 10);
    }
    EXPECT_EQ(retries, 3);
}
