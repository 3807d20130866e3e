// SPDX-License-Identifier: MIT
#include "queue/DownloadQueue.h"

#include "common/QuorvelError.h"

DownloadQueue::DownloadQueue(QObject *parent)
    : QObject(parent)
{
}

const QString &DownloadQueue::at(int i) const
{
    if (i < 0 || i >= count())
        throw QuorvelError::listIndex(i);
    return m_entries.at(i);
}

DownloadQueue::EntryId DownloadQueue::idAt(int i) const
{
    at(i);
    return m_ids.at(i);
}

int DownloadQueue::indexOf(EntryId id) const
{
    return int(m_ids.indexOf(id));
}

QList<DownloadQueue::EntryId> DownloadQueue::newIds(qsizetype count)
{
    QList<EntryId> ids;
    ids.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        ids.append(m_nextId++);
    return ids;
}

void DownloadQueue::append(const QString &line)
{
    appendAll({line});
}

void DownloadQueue::appendAll(const QStringList &lines)
{
    const int first = count();
    m_entries.append(lines);
    m_ids.append(newIds(lines.size()));
    emit entriesInserted(first, int(lines.size()));
}

void DownloadQueue::prepend(const QString &url)
{
    m_entries.prepend(url);
    m_ids.prepend(m_nextId++);
    emit entriesInserted(0, 1);
    if (m_selected >= 0)
        setSelected(m_selected + 1);
}

void DownloadQueue::removeHead()
{
    removeAt(0);
}

void DownloadQueue::removeAt(int index)
{
    at(index);
    m_entries.removeAt(index);
    m_ids.removeAt(index);
    // The selection stays on its entry, as in a list box; the removed entry takes it along.
    const int selection = m_selected > index ? m_selected - 1 : m_selected == index ? -1 : m_selected;
    emit entryRemoved(index);
    setSelected(selection);
}

bool DownloadQueue::removeEntry(const QString &url)
{
    const int index = int(m_entries.indexOf(url));
    if (index < 0)
        return false;
    removeAt(index);
    return true;
}

void DownloadQueue::move(int from, int to)
{
    at(from);
    at(to);
    if (from == to)
        return;
    // Not QList::move, which shifts everything between: a run sends its head to the end once an
    // entry, and taking from an end and adding at the other costs nothing.
    m_entries.insert(to, m_entries.takeAt(from));
    m_ids.insert(to, m_ids.takeAt(from));
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
    m_entries = lines;
    m_ids = newIds(lines.size());
    emit entriesReset();
    setSelected(-1);
}

void DownloadQueue::clear()
{
    replaceAll({});
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
    setCurrentUrl(m_entries.isEmpty() ? QString() : m_entries.first());
}

void DownloadQueue::deleteSelected()
{
    if (m_selected >= 0) {
        m_entries.removeAt(m_selected);
        m_ids.removeAt(m_selected);
        emit entryRemoved(m_selected);
        setSelected(-1);
    }
    showHead();
}

void DownloadQueue::moveSelectedTo(int newIndex)
{
    const int cur = m_selected;
    if (cur != newIndex) {
        const QString text = at(cur);
        // Checked before the removal: inserting past the end must not cost the entry.
        if (newIndex > count() - 1)
            throw QuorvelError::listIndex(newIndex);
        // Up from the top goes to the end: the last index once the entry is out.
        const int to = newIndex < 0 ? count() - 1 : newIndex;
        const EntryId id = m_ids.at(cur);
        m_entries.removeAt(cur);
        m_ids.removeAt(cur);
        m_entries.insert(to, text);
        m_ids.insert(to, id);
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
