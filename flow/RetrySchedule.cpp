// SPDX-License-Identifier: MIT
#include "flow/RetrySchedule.h"

#include <algorithm>

using namespace std::chrono_literals;

RetrySchedule::RetrySchedule(std::vector<Seconds> waits, Seconds budget)
    : m_waits(std::move(waits)), m_budget(std::max(budget, 0s))
{
}

RetrySchedule RetrySchedule::unattended(Seconds budget)
{
    return RetrySchedule({30s, 1min, 2min, 4min, 8min, 10min}, budget);
}

RetrySchedule RetrySchedule::unrecognisedPage(Seconds budget)
{
    return RetrySchedule({1min, 2min}, std::min<Seconds>(budget, 5min));
}

std::optional<RetrySchedule::Seconds> RetrySchedule::nextWait(int retriesDone, Seconds triedFor,
                                                              std::optional<int> retryAfterSeconds) const
{
    if (m_waits.empty())
        return std::nullopt;
    const std::size_t step = std::min<std::size_t>(std::size_t(std::max(retriesDone, 0)), m_waits.size() - 1);
    Seconds wait = m_waits[step];
    if (retryAfterSeconds)
        wait = std::max(wait, std::clamp(Seconds(*retryAfterSeconds), 0s, longestServerWait));
    if (triedFor + wait > m_budget)
        return std::nullopt;
    return wait;
}
