// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>

/**
 * Keeps one transfer at a speed limit that may change while it runs: a token bucket that fills
 * at the limit and holds at most an eighth of a second's worth, so that a pause or a raised
 * limit never lets a burst through. Told of each received piece, it says how long to wait
 * before taking the next. The time comes from the caller, so tests need no clock.
 * Thread contract: one transfer's thread.
 */
class TransferThrottle final
{
public:
    using Clock = std::chrono::steady_clock;

    /** After bytes arrived at now under bytesPerSecond (0: no limit), the wait before more. */
    std::chrono::nanoseconds waitAfter(std::uint64_t bytes, std::int64_t bytesPerSecond, Clock::time_point now);

private:
    /** Bytes that may still arrive without a wait; below zero, bytes owed. */
    double m_tokens = 0;
    std::int64_t m_bytesPerSecond = 0;
    Clock::time_point m_filledAt;
};
