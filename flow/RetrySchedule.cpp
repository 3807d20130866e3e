// SPDX-License-Identifier: MIT
#include "flow/RetrySchedule.h"

#include <algorithm>

using namespace std::chrono_literals;

RetrySchedule::RetrySchedule(std::vector<Seconds> waits, Seconds budget, int maxRetries)
    : m_waits(std::move(waits)), m_budget(std::max(budget, 0s)), m_maxRetries(maxRetries)
{
}

RetrySchedule RetrySchedule::unattended(Seconds budget)
{
    return RetrySchedule({30s, 1min, 2min, 4min, 8min, 10min}, budget);
}

RetrySchedule RetrySchedule::unrecognisedPage(Seconds budget)
{
    // The user's budget still bounds it when shorter.
    return RetrySchedule({1min, 2min}, budget, 3);
}

std::optional<RetrySchedule::Seconds> RetrySchedule::nextWait(int retriesDone, Seconds triedFor,
                                                              std::optional<int> retryAfterSeconds) const
{
    std::optional<Seconds> wait = step(retriesDone);
    if (!wait)
        return std::nullopt;
    if (retryAfterSeconds)
        wait = std::max(*wait, std::clamp(Seconds(*retryAfterSeconds), 0s, longestServerWait));
    if (!allows(triedFor, *wait))
        return std::nullopt;
    return wait;
}

std::optional<RetrySchedule::Seconds> RetrySchedule::step(int retriesDone) const
{
    if (m_waits.empty() || retriesDone >= m_maxRetries)
        return std::nullopt;
    return m_waits[std::min<std::size_t>(std::size_t(std::max(retriesDone, 0)), m_waits.size() - 1)];
}
