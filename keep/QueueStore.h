// SPDX-License-Identifier: MIT
#pragma once

#include "keep/KeptQueueText.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class StateFile;

/**
 * Keeps a queue in its state file: reads it back once, then saves every change. Changes in a
 * burst are saved once, a moment after the first; the text is made and written on a thread of
 * the store's own, so that a long queue costs the UI thread only the copy of a snapshot, which
 * costs nothing until the queue next changes. A file that cannot be read is moved aside, never
 * written over. A failed save keeps the old file and is said once, until a save succeeds again.
 *
 * Thread contract: UI thread only; the signals arrive there.
 */
class QueueStore final : public QObject
{
    Q_OBJECT

public:
    struct Opening
    {
        KeptQueue kept;
        int skippedLines = 0;
        /** What the user must hear: a file moved aside, another writer, a read error; else empty. */
        QString notice;
        /** Whether this store writes the file; not when another process does. */
        bool claimed = false;
    };

    QueueStore(StateFile &file, std::function<KeptQueue()> snapshot,
               std::chrono::milliseconds coalesce = std::chrono::milliseconds(250), QObject *parent = nullptr);
    /** Writes what is still to be written, then stops its thread. */
    ~QueueStore() override;

    /** Claims the file and reads what it keeps. */
    Opening open();
    /** Claims the file without reading it, for a writer that starts afresh; false and says why. */
    bool claim();
    /** The queue changed: a save follows soon. Nothing while not claimed or turned off. */
    void changed();
    /**
     * A change that must be on the disk before anything else happens if it can: saved now, off
     * the UI thread, with whatever else changed.
     */
    void changedNow();
    /**
     * What is kept now is what the file holds, as right after it was read back: the save the
     * changes so far asked for is not made. A start would otherwise rewrite an unchanged file.
     */
    void matchesFile() { m_coalesce.stop(); }
    /** Saves now and waits for it: at the end of the program. */
    void flush();
    /** Off, nothing is saved and the file goes; on again, everything is saved at once. */
    void setEnabled(bool enabled);

signals:
    /** A save failed; said once until one succeeds. */
    void saveFailed(const QString &why);
    /** A save succeeded after one had failed. */
    void saveRecovered();

private:
    void handOver();
    void writeLoop();
    void reportResult(bool ok, const QString &why);

    StateFile &m_file;
    std::function<KeptQueue()> m_snapshot;
    QTimer m_coalesce;
    bool m_claimed = false;
    bool m_enabled = true;
    bool m_failing = false;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_written;
    std::optional<KeptQueue> m_pending; // the latest snapshot not yet taken by the writer
    bool m_writing = false;
    bool m_stopping = false;
    std::thread m_writer;
};
