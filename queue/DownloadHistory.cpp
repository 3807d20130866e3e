// SPDX-License-Identifier: MIT
#include "queue/DownloadHistory.h"

#include "common/QuorvelError.h"

#include <algorithm>

DownloadHistory::DownloadHistory(QObject *parent)
    : QObject(parent)
{
}

const DownloadEntry &DownloadHistory::at(int i) const
{
    if (i < 0 || i >= count())
        throw QuorvelError::listIndex(i);
    return m_records.at(i);
}

int DownloadHistory::indexOf(DownloadEntry::Id id) const
{
    return int(m_index.value(id, -1));
}

DownloadHistory::Counts DownloadHistory::counts() const
{
    Counts counts;
    for (const DownloadEntry &entry : m_records) {
        switch (entry.state) {
        case DownloadEntry::State::Done:
            ++counts.done;
            break;
        case DownloadEntry::State::Failed:
            ++counts.failed;
            break;
        case DownloadEntry::State::Dropped:
            ++counts.dropped;
            break;
        case DownloadEntry::State::Removed:
            ++counts.removed;
            break;
        case DownloadEntry::State::Waiting:
        case DownloadEntry::State::Active:
        case DownloadEntry::State::Paused:
            break;
        }
    }
    return counts;
}

QStringList DownloadHistory::failedUrls() const
{
    QStringList urls;
    for (const DownloadEntry &entry : m_records) {
        if (entry.state == DownloadEntry::State::Failed)
            urls.append(entry.url);
    }
    return urls;
}

void DownloadHistory::replaceRecord(const DownloadEntry &entry)
{
    const int index = indexOf(entry.id);
    if (index < 0) {
        m_index.insert(entry.id, m_records.size());
        m_records.append(entry);
        return;
    }
    m_records[index] = entry;
    emit recordChanged(index);
}

void DownloadHistory::record(const DownloadEntry &entry)
{
    recordAll({entry});
}

void DownloadHistory::recordAll(const QList<DownloadEntry> &entries)
{
    // Entries past the limit would be forgotten as soon as they were recorded; a clear of a long
    // list would otherwise hold it twice for a moment.
    const qsizetype skipped = std::max<qsizetype>(0, entries.size() - maxRecords);
    forgetParts(entries, 0, skipped);
    const int first = count();
    for (qsizetype i = skipped; i < entries.size(); ++i)
        replaceRecord(entries.at(i));
    const qsizetype excess = m_records.size() - maxRecords;
    if (excess <= 0) {
        if (count() > first)
            emit recordsInserted(first, count() - first);
        return;
    }
    forgetParts(m_records, 0, excess);
    m_records.remove(0, excess);
    reindex();
    emit recordsReset();
}

void DownloadHistory::forgetParts(const QList<DownloadEntry> &records, qsizetype first, qsizetype count)
{
    QList<PartialFile> parts;
    for (qsizetype i = first; i < first + count; ++i) {
        if (records.at(i).part)
            parts.append(*records.at(i).part);
    }
    if (!parts.isEmpty())
        emit partsForgotten(parts);
}

void DownloadHistory::reindex()
{
    m_index.clear();
    m_index.reserve(m_records.size());
    for (qsizetype i = 0; i < m_records.size(); ++i)
        m_index.insert(m_records.at(i).id, i);
}

std::optional<DownloadEntry> DownloadHistory::take(DownloadEntry::Id id)
{
    const int index = indexOf(id);
    if (index < 0)
        return std::nullopt;
    DownloadEntry taken = m_records.takeAt(index);
    m_index.remove(id);
    // The records after it moved up one place.
    for (qsizetype i = index; i < m_records.size(); ++i)
        m_index[m_records.at(i).id] = i;
    emit recordRemoved(index);
    return taken;
}

void DownloadHistory::clear()
{
    forgetParts(m_records, 0, m_records.size());
    m_records.clear();
    m_index.clear();
    emit recordsReset();
}

void DownloadHistory::noteCommand(DownloadEntry::Id id, const CommandRecord &command)
{
    const int index = indexOf(id);
    if (index < 0)
        return;
    m_records[index].command = command;
    emit recordChanged(index);
}
