// SPDX-License-Identifier: MIT
#pragma once

#include "queue/DownloadEntry.h"

#include <QByteArray>
#include <QList>
#include <QString>

/** The queue and the history as a kept file holds them. A plain value; any thread. */
struct KeptQueue
{
    /** The entry whose file was on its way, out of the queue while it is fetched; none or one. */
    QList<DownloadEntry> active;
    /** Waiting and failed entries, in queue order; read back, the active ones come first. */
    QList<DownloadEntry> queue;
    /** Entries that ended: done, failed, dropped, removed. */
    QList<DownloadEntry> history;
};

/**
 * The kept file's text: a header line that names the format, the queue's entries, the history's,
 * and an end line, in the layout of aria2's input files (see EntryListText), UTF-8. The end line
 * tells a whole file from one cut short. Thread-agnostic.
 */
class KeptQueueText final
{
public:
    static constexpr int format = 1;

    struct Reading
    {
        KeptQueue kept;
        /** Lines that were neither entries, their options, comments nor blank. */
        int skippedLines = 0;
        /** Why the file cannot be read at all (cut short, not a kept queue, a newer format). */
        QString unreadable;
    };

    static QByteArray write(const KeptQueue &kept);
    static Reading read(const QByteArray &content);
};
