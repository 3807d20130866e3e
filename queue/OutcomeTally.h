// SPDX-License-Identifier: MIT
#pragma once

#include "queue/DownloadEntry.h"

#include <QHash>
#include <QMap>
#include <QString>

/**
 * What became of the entries of one run, each counted by its last end only: an entry that failed,
 * was tried again and arrived counts as done, not as done and failed. A plain value; any thread.
 */
class OutcomeTally final
{
public:
    void record(const DownloadEntry &entry) { m_ends.insert(entry.id, entry); }
    void clear() { m_ends.clear(); }

    int done() const { return count(DownloadEntry::State::Done); }
    int dropped() const { return count(DownloadEntry::State::Dropped); }
    int failed() const { return count(DownloadEntry::State::Failed); }
    /** The failed entries by the reason of their last failure. */
    QMap<QString, int> failuresByReason() const
    {
        QMap<QString, int> reasons;
        for (const DownloadEntry &entry : m_ends) {
            if (entry.state == DownloadEntry::State::Failed)
                ++reasons[entry.lastFailure ? entry.lastFailure->reason : QString()];
        }
        return reasons;
    }

private:
    int count(DownloadEntry::State state) const
    {
        int n = 0;
        for (const DownloadEntry &entry : m_ends)
            n += entry.state == state ? 1 : 0;
        return n;
    }

    QHash<DownloadEntry::Id, DownloadEntry> m_ends;
};
