// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <limits>
#include <optional>
#include <vector>

/**
 * When to try an entry again after a failure that may pass, and for how long to keep at it. The
 * waits grow, so that a host that is away for long is not asked every few seconds, and the budget
 * bounds the whole, so that a host that never comes back ends in a failure the user can see.
 * A value; any thread.
 */
class RetrySchedule final
{
public:
    using Seconds = std::chrono::seconds;

    /** A server may ask for a longer wait (Retry-After), never for more than this. */
    static constexpr Seconds longestServerWait{600};

    /**
     * waits: before the first retry, the second, ...; the last one repeats. budget: how long after
     * the first failure a retry may still begin; zero means none. maxRetries: none beyond it.
     */
    RetrySchedule(std::vector<Seconds> waits, Seconds budget, int maxRetries = std::numeric_limits<int>::max());

    /** 30 s, 1, 2, 4 and 8 minutes, then every 10 minutes, within budget. */
    static RetrySchedule unattended(Seconds budget);
    /**
     * A page nobody recognises: three more tries over about five minutes, within budget. Counted,
     * not timed, so that the time the walks take cannot cost the last one.
     */
    static RetrySchedule unrecognisedPage(Seconds budget);

    /**
     * The wait before the next retry, after retriesDone retries and triedFor since the first
     * failure; none when that retry would begin after the budget. A server's retryAfter is waited
     * out (up to longestServerWait), but never makes the wait shorter than the schedule's.
     */
    std::optional<Seconds> nextWait(int retriesDone, Seconds triedFor,
                                    std::optional<int> retryAfterSeconds = std::nullopt) const;
    /** The schedule's own wait before the retry after retriesDone retries; none past the last. */
    std::optional<Seconds> step(int retriesDone) const;
    /** Whether a retry after wait, triedFor since the first failure, begins within the budget. */
    bool allows(Seconds triedFor, Seconds wait) const { return triedFor + wait <= m_budget; }

    Seconds budget() const { return m_budget; }

private:
    std::vector<Seconds> m_waits;
    Seconds m_budget;
    int m_maxRetries;
};
