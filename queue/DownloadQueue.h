// SPDX-License-Identifier: MIT
#pragma once

#include "queue/DownloadEntry.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

/**
 * The queue of hosting-page URLs, entry 0 at the top, with the selected entry, the current
 * download (the URL a start opens) and the enabled state of the Up and Down buttons, which only
 * the move operations change. URLs are kept exactly as given: no trimming, no duplicate check;
 * each entry has an id that tells it apart from an entry of the same text, and that it keeps
 * while it moves. Views mirror it through the signals. UI thread only.
 */
class DownloadQueue final : public QObject
{
    Q_OBJECT

public:
    /**
     * Unique in the queue; random, so that an entry of another run (a kept one) shares it only by
     * a chance of one in 2^64.
     */
    using EntryId = DownloadEntry::Id;

    explicit DownloadQueue(QObject *parent = nullptr);

    int count() const { return int(m_entries.size()); }
    /** Throws QuorvelError::listIndex(i) when i names no entry. */
    const QString &at(int i) const { return entry(i).url; }
    const QString &head() const { return at(0); }
    /** Throws the list-index error when i names no entry. */
    const DownloadEntry &entry(int i) const;
    /** The entries in order; a copy costs nothing until the queue changes. */
    const QList<DownloadEntry> &entryList() const { return m_entries; }
    /** The entries' URLs in order, made on each call. */
    QStringList entries() const;
    /** Throws the list-index error when i names no entry. */
    EntryId idAt(int i) const { return entry(i).id; }
    /** Where the entry is now, or -1 when it has left the queue. */
    int indexOf(EntryId id) const;
    /** Where the first entry of url is, or -1. */
    int indexOfUrl(const QString &url) const;

    void append(const QString &line);
    /** Appends every line in order, announcing the change once. */
    void appendAll(const QStringList &lines);
    /**
     * Appends entries read back (a kept queue, a list file with options) in order, announcing the
     * change once; each keeps its id unless another entry has it, and is made waiting unless it
     * failed or paused.
     */
    void appendEntries(QList<DownloadEntry> entries);
    /** Puts url before every entry; the selection stays on its entry. */
    void prepend(const QString &url);
    /** Removes entry 0, whatever it is; throws the list-index error on an empty queue. */
    void removeHead();
    /** Removes entry index; throws the list-index error when it names no entry. */
    void removeAt(int index) { takeAt(index); }
    /** Removes entry index and gives it back; throws the list-index error when it names no entry. */
    DownloadEntry takeAt(int index);
    /**
     * Puts entry (one taken out before) at index, 0 to count(); it keeps its id unless another
     * entry has it meanwhile. The selection stays on its entry. Throws the list-index error for
     * any other index.
     */
    void insert(int index, DownloadEntry entry);
    /** Lets change edit what entry id records, if it is in the queue; its URL and id stay. */
    void edit(EntryId id, const std::function<void(DownloadEntry &entry)> &change);
    /** Moves entry from to index to, keeping its id; the selection stays on its entry. */
    void move(int from, int to);
    /** Replaces every entry at once; the selection goes with the old entries. */
    void replaceAll(const QStringList &lines);
    void replaceAll(QList<DownloadEntry> entries);
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
    /**
     * Takes entry id out as the user's removal, as deleteSelected does with the selected one;
     * answers false when it is not in the queue.
     */
    bool discard(EntryId id);
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
    /** What entry index records changed; its URL and id did not. */
    void entryChanged(int index);
    /**
     * The user's deletion, clearing or replacing of the list took these entries out; sent after
     * the removal's own signals. The run's own moves never send it.
     */
    void entriesDiscarded(const QList<DownloadEntry> &entries);
    void selectionChanged(int index);
    void currentUrlChanged(const QString &url);
    void moveButtonsChanged(bool upEnabled, bool downEnabled);

private:
    void setMoveButtons(bool upEnabled, bool downEnabled);
    /** Entries of urls, each with an id of its own, already counted as in the queue. */
    QList<DownloadEntry> newEntries(const QStringList &urls);
    /** Gives entry an id of its own, its old one when no entry has it. */
    void claimId(DownloadEntry &entry);
    /** Puts entry, whose id is counted as in the queue, at index, and announces it. */
    void insertEntry(int index, DownloadEntry entry);
    EntryId newId();

    QList<DownloadEntry> m_entries;
    QSet<EntryId> m_ids; // of m_entries
    int m_selected = -1;
    QString m_currentUrl;
    bool m_upEnabled = true;
    bool m_downEnabled = true;
};
