// SPDX-License-Identifier: MIT
#include "queue/DownloadQueue.h"

#include "common/QuorvelError.h"

#include <QRandomGenerator>

#include <utility>

DownloadQueue::DownloadQueue(QObject *parent)
    : QObject(parent)
{
}

const DownloadEntry &DownloadQueue::entry(int i) const
{
    if (i < 0 || i >= count())
        throw QuorvelError::listIndex(i);
    return m_entries.at(i);
}

QStringList DownloadQueue::entries() const
{
    QStringList urls;
    urls.reserve(m_entries.size());
    for (const DownloadEntry &entry : m_entries)
        urls.append(entry.url);
    return urls;
}

int DownloadQueue::indexOf(EntryId id) const
{
    if (!m_ids.contains(id))
        return -1;
    // From both ends: the run asks for its head, or for a failed entry it sent to the end, once a
    // change, and a long queue must not be read through for either.
    for (int front = 0, back = count() - 1; front <= back; ++front, --back) {
        if (m_entries.at(front).id == id)
            return front;
        if (m_entries.at(back).id == id)
            return back;
    }
    return -1;
}

int DownloadQueue::indexOfUrl(const QString &url) const
{
    for (int i = 0; i < count(); ++i) {
        if (m_entries.at(i).url == url)
            return i;
    }
    return -1;
}

DownloadQueue::EntryId DownloadQueue::newId()
{
    EntryId id = 0;
    // 0 is no id; a repeat is as good as impossible, but it would merge two entries.
    while (id == 0 || m_ids.contains(id))
        id = QRandomGenerator::system()->generate64();
    m_ids.insert(id);
    return id;
}

QList<DownloadEntry> DownloadQueue::newEntries(const QStringList &urls)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<DownloadEntry> entries;
    entries.reserve(urls.size());
    for (const QString &url : urls) {
        DownloadEntry entry;
        entry.id = newId();
        entry.url = url;
        entry.added = now;
        entries.append(std::move(entry));
    }
    return entries;
}

void DownloadQueue::append(const QString &line)
{
    appendAll({line});
}

void DownloadQueue::appendAll(const QStringList &lines)
{
    const int first = count();
    m_entries.append(newEntries(lines));
    emit entriesInserted(first, int(lines.size()));
}

void DownloadQueue::appendEntries(QList<DownloadEntry> entries)
{
    const int first = count();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (DownloadEntry &entry : entries) {
        claimId(entry);
        if (entry.state != DownloadEntry::State::Failed && entry.state != DownloadEntry::State::Paused)
            entry.state = DownloadEntry::State::Waiting;
        if (!entry.added.isValid())
            entry.added = now;
    }
    m_entries.append(std::move(entries));
    emit entriesInserted(first, count() - first);
}

void DownloadQueue::claimId(DownloadEntry &entry)
{
    if (entry.id == 0 || m_ids.contains(entry.id))
        entry.id = newId();
    else
        m_ids.insert(entry.id);
}

void DownloadQueue::prepend(const QString &url)
{
    insertEntry(0, newEntries({url}).first());
}

void DownloadQueue::insert(int index, DownloadEntry entry)
{
    if (index < 0 || index > count())
        throw QuorvelError::listIndex(index);
    claimId(entry);
    insertEntry(index, std::move(entry));
}

void DownloadQueue::insertEntry(int index, DownloadEntry entry)
{
    m_entries.insert(index, std::move(entry));
    // Taken before the announcement: a view that follows it may report a selection of its own.
    const int selection = m_selected >= index ? m_selected + 1 : m_selected;
    emit entriesInserted(index, 1);
    setSelected(selection);
}

void DownloadQueue::edit(EntryId id, const std::function<void(DownloadEntry &entry)> &change)
{
    const int index = indexOf(id);
    if (index < 0)
        return;
    DownloadEntry &entry = m_entries[index];
    const QString url = entry.url;
    change(entry);
    entry.id = id;
    entry.url = url;
    emit entryChanged(index);
}

void DownloadQueue::removeHead()
{
    removeAt(0);
}

DownloadEntry DownloadQueue::takeAt(int index)
{
    entry(index);
    DownloadEntry taken = m_entries.takeAt(index);
    m_ids.remove(taken.id);
    // The selection stays on its entry, as in a list box; the removed entry takes it along.
    const int selection = m_selected > index ? m_selected - 1 : m_selected == index ? -1 : m_selected;
    emit entryRemoved(index);
    setSelected(selection);
    return taken;
}

void DownloadQueue::move(int from, int to)
{
    entry(from);
    entry(to);
    if (from == to)
        return;
    // Not QList::move, which shifts everything between: a run sends its head to the end once an
    // entry, and taking from an end and adding at the other costs nothing.
    m_entries.insert(to, m_entries.takeAt(from));
    int selection = m_selected;
    if (m_selected == from)
        selection = to;
    else if (from < m_selected && m_selected <= to)
        selection = m_selected - 1;
    else if (to <= m_selected && m_selected < from)
        selection = m_selected + 1;
    emit entryMoved(from, to);
    setSelected(selection);
}

void DownloadQueue::replaceAll(const QStringList &lines)
{
    const QList<DownloadEntry> old = std::exchange(m_entries, {});
    m_ids.clear();
    m_entries = newEntries(lines);
    emit entriesReset();
    setSelected(-1);
    if (!old.isEmpty())
        emit entriesDiscarded(old);
}

void DownloadQueue::replaceAll(QList<DownloadEntry> entries)
{
    replaceAll(QStringList());
    appendEntries(std::move(entries));
}

void DownloadQueue::clear()
{
    replaceAll(QStringList());
    setCurrentUrl(QString());
}

void DownloadQueue::setSelected(int index)
{
    if (index < 0 || index >= count())
        index = -1;
    if (index == m_selected)
        return;
    m_selected = index;
    emit selectionChanged(index);
}

void DownloadQueue::setCurrentUrl(const QString &url)
{
    if (url == m_currentUrl)
        return;
    m_currentUrl = url;
    emit currentUrlChanged(url);
}

void DownloadQueue::showHead()
{
    setCurrentUrl(m_entries.isEmpty() ? QString() : m_entries.first().url);
}

void DownloadQueue::deleteSelected()
{
    if (m_selected >= 0) {
        const DownloadEntry taken = m_entries.takeAt(m_selected);
        m_ids.remove(taken.id);
        emit entryRemoved(m_selected);
        setSelected(-1);
        emit entriesDiscarded({taken});
    }
    showHead();
}

bool DownloadQueue::discard(EntryId id)
{
    const int index = indexOf(id);
    if (index < 0)
        return false;
    emit entriesDiscarded({takeAt(index)});
    return true;
}

void DownloadQueue::moveSelectedTo(int newIndex)
{
    const int cur = m_selected;
    if (cur != newIndex) {
        entry(cur);
        // Checked before the removal: inserting past the end must not cost the entry.
        if (newIndex > count() - 1)
            throw QuorvelError::listIndex(newIndex);
        // Up from the top goes to the end: the last index once the entry is out.
        const int to = newIndex < 0 ? count() - 1 : newIndex;
        m_entries.insert(to, m_entries.takeAt(cur));
        emit entryMoved(cur, to);
    }
    // Announced even when the index stays, so that the view shows the selection again.
    m_selected = newIndex < count() ? newIndex : -1;
    emit selectionChanged(m_selected);
    showHead();
}

void DownloadQueue::moveUp()
{
    moveSelectedTo(m_selected - 1);
    setMoveButtons(m_selected == 0 ? false : m_upEnabled, true);
}

void DownloadQueue::moveDown()
{
    // The last entry has nowhere to go; it stays put, selected, and Down greys out.
    if (m_selected >= 0 && m_selected == count() - 1)
        moveSelectedTo(m_selected);
    else
        moveSelectedTo(m_selected + 1);
    setMoveButtons(true, m_selected >= count() - 1 ? false : m_downEnabled);
}

void DownloadQueue::moveFirst()
{
    moveSelectedTo(0);
}

void DownloadQueue::moveLast()
{
    moveSelectedTo(count() - 1);
}

void DownloadQueue::setMoveButtons(bool upEnabled, bool downEnabled)
{
    if (upEnabled == m_upEnabled && downEnabled == m_downEnabled)
        return;
    m_upEnabled = upEnabled;
    m_downEnabled = downEnabled;
    emit moveButtonsChanged(upEnabled, downEnabled);
}
