// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

/**
 * The queue of hosting-page URLs, entry 0 at the top, with the selected entry, the current
 * download (the URL a start opens) and the enabled state of the Up and Down buttons, which only
 * the move operations change. Entries are kept exactly as given: no trimming, no duplicate check;
 * each has an id that tells it apart from an entry of the same text, and that it keeps while it
 * moves. Views mirror it through the signals. UI thread only.
 */
class DownloadQueue final : public QObject
{
    Q_OBJECT

public:
    /** Unique in its queue for the queue's life: a removed entry's id is never given again. */
    using EntryId = quint64;

    explicit DownloadQueue(QObject *parent = nullptr);

    int count() const { return int(m_entries.size()); }
    /** Throws QuorvelError::listIndex(i) when i names no entry. */
    const QString &at(int i) const;
    const QString &head() const { return at(0); }
    const QStringList &entries() const { return m_entries; }
    /** Throws the list-index error when i names no entry. */
    EntryId idAt(int i) const;
    /** Where the entry is now, or -1 when it has left the queue. */
    int indexOf(EntryId id) const;

    void append(const QString &line);
    /** Appends every line in order, announcing the change once. */
    void appendAll(const QStringList &lines);
    /** Puts url before every entry; the selection stays on its entry. */
    void prepend(const QString &url);
    /** Removes entry 0, whatever it is; throws the list-index error on an empty queue. */
    void removeHead();
    /** Removes entry index; throws the list-index error when it names no entry. */
    void removeAt(int index);
    /** Removes the first entry that is url; answers whether there was one. */
    bool removeEntry(const QString &url);
    /** Moves entry from to index to, keeping its id; the selection stays on its entry. */
    void move(int from, int to);
    /** Replaces every entry at once; the selection goes with the old entries. */
    void replaceAll(const QStringList &lines);
    /** Empties the queue and the current download. */
    void clear();

    int selected() const { return m_selected; }
    /** -1, or an index outside the queue, selects nothing. */
    void setSelected(int index);

    const QString &currentUrl() const { return m_currentUrl; }
    void setCurrentUrl(const QString &url);
    /** Current download := entry 0; an empty queue leaves nothing to download, so it empties it. */
    void showHead();

    void deleteSelected();
    void moveSelectedTo(int newIndex);
    void moveUp();
    void moveDown();
    void moveFirst();
    void moveLast();

    bool upEnabled() const { return m_upEnabled; }
    bool downEnabled() const { return m_downEnabled; }

signals:
    // What changed in the entries, so that a view of a long queue follows a change without
    // reading every entry again.
    /** Entries first to first + count - 1 are new; those from first on before them moved down. */
    void entriesInserted(int first, int count);
    void entryRemoved(int index);
    /** The entry at from is now at to; those between moved one place to fill its gap. */
    void entryMoved(int from, int to);
    /** Every entry was replaced. */
    void entriesReset();
    void selectionChanged(int index);
    void currentUrlChanged(const QString &url);
    void moveButtonsChanged(bool upEnabled, bool downEnabled);

private:
    void setMoveButtons(bool upEnabled, bool downEnabled);
    QList<EntryId> newIds(qsizetype count);

    QStringList m_entries;
    QList<EntryId> m_ids; // beside m_entries, one for one
    EntryId m_nextId = 1;
    int m_selected = -1;
    QString m_currentUrl;
    bool m_upEnabled = true;
    bool m_downEnabled = true;
};
