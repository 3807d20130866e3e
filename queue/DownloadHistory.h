// SPDX-License-Identifier: MIT
#pragma once

#include "queue/DownloadEntry.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>

#include <optional>

/**
 * What became of the entries that ended: done, failed with their reason, dropped as missing, or
 * removed by the user. One record an entry, its latest end: an entry that failed and then arrived
 * is recorded once, as done. Oldest first, and at most maxRecords of them: a run that never
 * ends (a service fed remotely) or a cleared list of 100,000 entries would otherwise hold every
 * entry it ever had. Views mirror it through the signals. UI thread only.
 */
class DownloadHistory final : public QObject
{
    Q_OBJECT

public:
    struct Counts
    {
        int done = 0;
        int failed = 0;
        int dropped = 0;
        int removed = 0;
    };

    /** The oldest records beyond it are forgotten, as aria2 forgets results past its limit. */
    static constexpr int maxRecords = 10'000;

    explicit DownloadHistory(QObject *parent = nullptr);

    int count() const { return int(m_records.size()); }
    /** Throws the list-index error when i names no record. */
    const DownloadEntry &at(int i) const;
    const QList<DownloadEntry> &records() const { return m_records; }
    /** Where the record of entry id is, or -1. */
    int indexOf(DownloadEntry::Id id) const;
    Counts counts() const;
    /** The URLs of the failed records, in order: a list file to try them again elsewhere. */
    QStringList failedUrls() const;

    /** Records how entry ended, in place of an earlier end of the same entry. */
    void record(const DownloadEntry &entry);
    /** Records every entry at once, announcing the change once; the same rule per entry. */
    void recordAll(const QList<DownloadEntry> &entries);
    /** Adds what the command run after its file made of it to entry id's record, if it has one. */
    void noteCommand(DownloadEntry::Id id, const CommandRecord &command);
    /** Takes the record of entry id out, to queue it again; nothing when there is none. */
    std::optional<DownloadEntry> take(DownloadEntry::Id id);
    /** Forgets the record of entry id, if any: it is back in the queue. */
    void forget(DownloadEntry::Id id) { take(id); }
    void clear();

signals:
    void recordsInserted(int first, int count);
    void recordRemoved(int index);
    void recordChanged(int index);
    void recordsReset();
    /**
     * Records that held these parts were forgotten (cleared, or the oldest beyond maxRecords):
     * nothing can continue them any more.
     */
    void partsForgotten(const QList<PartialFile> &parts);

private:
    /** Puts entry in place of its earlier record and says so; else appends it, unannounced. */
    void replaceRecord(const DownloadEntry &entry);
    void reindex();
    /** Says which parts the records in [first, first + count) of records held. */
    void forgetParts(const QList<DownloadEntry> &records, qsizetype first, qsizetype count);

    QList<DownloadEntry> m_records;
    QHash<DownloadEntry::Id, qsizetype> m_index; // id -> place in m_records
};
