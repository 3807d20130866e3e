// SPDX-License-Identifier: MIT
#include "flow/EntryRetry.h"

#include "flow/WaitTime.h"

#include <cmath>

EntryRetry::EntryRetry(std::chrono::seconds budget)
    : m_full(RetrySchedule::unattended(budget)), m_short(RetrySchedule::unrecognisedPage(budget))
{
}

EntryRetry::Decision EntryRetry::failed(const QString &pageUrl, const FailureCause &cause, Budget budget,
                                        double now)
{
    count(pageUrl, now);
    Decision decision{cause, std::nullopt, m_retries + 1};
    // A fresh walk gets a fresh file link; refused the same way again, the file itself is refused.
    const bool refusedAgain = cause.kind == FailureCause::Kind::ExpiredLink && m_last
        && m_last->kind == FailureCause::Kind::ExpiredLink && m_last->httpStatus == cause.httpStatus;
    if (refusedAgain)
        decision.cause.kind = FailureCause::Kind::Permanent;
    m_last = decision.cause;
    if (!decision.cause.mayPass())
        return decision;
    const RetrySchedule &schedule = budget == Budget::Short ? m_short : m_full;
    decision.wait = schedule.nextWait(m_retries, triedFor(now), cause.retryAfterSeconds);
    if (decision.wait)
        ++m_retries;
    return decision;
}

EntryRetry::Decision EntryRetry::waitPage(const QString &pageUrl, std::chrono::seconds asked, double now)
{
    count(pageUrl, now);
    Decision decision{FailureCause::transient(waitPageReason()), std::nullopt, m_retries + 1};
    m_last = decision.cause;
    if (m_retries == 0) {
        decision.wait = asked;
        ++m_retries;
        return decision;
    }
    // A host that asks again and again, or for no wait at all, is asked no more often than one
    // that fails, and no longer.
    const std::optional<std::chrono::seconds> step = m_full.step(m_retries);
    if (!step)
        return decision;
    const std::chrono::seconds wait = std::max(asked, *step);
    if (!m_full.allows(triedFor(now), wait))
        return decision;
    decision.wait = wait;
    ++m_retries;
    return decision;
}

void EntryRetry::count(const QString &pageUrl, double now)
{
    if (pageUrl != m_pageUrl || !m_last) {
        forget();
        m_pageUrl = pageUrl;
        m_firstFailure = now;
    }
}

std::chrono::seconds EntryRetry::triedFor(double now) const
{
    return std::chrono::seconds(std::llround(elapsedSince(m_firstFailure, now) * 86'400));
}

void EntryRetry::forget()
{
    m_pageUrl.clear();
    m_firstFailure = 0.0;
    m_retries = 0;
    m_last.reset();
}
