// SPDX-License-Identifier: MIT
#include "transfer/TransferThrottle.h"

#include <gtest/gtest.h>

namespace {
using namespace std::chrono_literals;
using Clock = TransferThrottle::Clock;

/** Receives total bytes in pieces as fast as the throttle lets them, limit by bytes so far; the seconds it took. */
template <typename Limit>
double secondsFor(TransferThrottle &throttle, Clock::time_point &now, std::uint64_t total, Limit limit)
{
    constexpr std::uint64_t piece = 16 * 1024;
    const Clock::time_point start = now;
    for (std::uint64_t received = 0; received < total; received += piece)
        now += throttle.waitAfter(piece, limit(received), now);
    return std::chrono::duration<double>(now - start).count();
}

TEST(TransferThrottle, KeepsToTheLimitAsItChangesAndLetsNoBurstThrough)
{
    constexpr std::int64_t mib = 1024 * 1024;
    TransferThrottle throttle;
    Clock::time_point now{};
    EXPECT_EQ(secondsFor(throttle, now, 64 * mib, [](std::uint64_t) { return 0; }), 0);
    // 20 MiB at 2 MiB/s, then 20 at 1 MiB/s: the change holds from the piece after it.
    EXPECT_NEAR(
        secondsFor(throttle, now, 40 * mib, [](std::uint64_t received) { return received < 20 * mib ? 2 * mib : mib; }),
        30.0, 0.2);
    // A long pause saves up no more than an eighth of a second's worth.
    now += 1h;
    EXPECT_NEAR(secondsFor(throttle, now, 8 * mib, [](std::uint64_t) { return mib; }), 8.0 - 0.125, 0.05);
    // Full speed, then limited again: the bucket starts full, not with an hour's credit.
    EXPECT_EQ(secondsFor(throttle, now, 8 * mib, [](std::uint64_t) { return 0; }), 0);
    now += 1h;
    EXPECT_NEAR(secondsFor(throttle, now, 4 * mib, [](std::uint64_t) { return mib; }), 4.0 - 0.125, 0.05);
}

} // namespace
