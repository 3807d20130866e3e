// SPDX-License-Identifier: MIT
#pragma once

#include "common/FailureCause.h"
#include "flow/RetrySchedule.h"

#include <QString>

#include <chrono>
#include <optional>

/**
 * The retries of the entry being worked on: for each of its failures, whether it is tried again
 * and after how long, or fails now. Times are the Clock's (fractions of a day). A value; UI thread.
 */
class EntryRetry final
{
public:
    /** Which schedule a failure draws on: a page nobody recognises gets the short one. */
    enum class Budget { Full, Short };

    struct Decision
    {
        /** As finally judged: a file link refused the same way twice is permanent. */
        FailureCause cause;
        /** None: the entry fails now. */
        std::optional<std::chrono::seconds> wait;
        /** The number of the coming retry, from 1. */
        int retry = 0;
    };

    /** budget: how long an entry is tried after its first failure; zero means never again. */
    explicit EntryRetry(std::chrono::seconds budget);

    Decision failed(const QString &pageUrl, const FailureCause &cause, Budget budget, double now);
    /**
     * The entry's page asks to wait asked before it is loaded again. The first wait is the page's
     * own (the scanners read none of a day or more), its host's way of pacing free users; each
     * further one counts like a failure that may pass: at least the schedule's next step, and none
     * that would end past the budget (the entry then fails).
     */
    Decision waitPage(const QString &pageUrl, std::chrono::seconds asked, double now);
    /** The entry has ended, well or not: a later failure of it starts a new count. */
    void forget();

    /** Why an entry fails whose page only ever asks it to wait. */
    static QString waitPageReason() { return QStringLiteral("网站一直要求等待"); }

private:
    /** Starts a new count when pageUrl is not the entry counted so far. */
    void count(const QString &pageUrl, double now);
    std::chrono::seconds triedFor(double now) const;

    RetrySchedule m_full;
    RetrySchedule m_short;
    QString m_pageUrl;
    double m_firstFailure = 0.0;
    int m_retries = 0;
    std::optional<FailureCause> m_last;
};
