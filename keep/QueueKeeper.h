// SPDX-License-Identifier: MIT
#pragma once

#include "keep/KeptQueueText.h"
#include "keep/QueueStore.h"

#include <QObject>
#include <QString>

class DownloadSession;
class StateFile;
class UrlDownloadService;

/**
 * Keeps a session's queue in a state file: what waits, what failed, the entry whose file is on
 * its way (so that a cut run continues it), and, for the window, the history. At start it puts
 * back what the file keeps, with the part files of the entries, and removes the parts nobody
 * owns any more. Thread contract: UI thread only.
 */
class QueueKeeper final : public QObject
{
    Q_OBJECT

public:
    enum class Keeps { QueueAndHistory, QueueOnly };

    QueueKeeper(DownloadSession &session, UrlDownloadService &downloads, StateFile &file, Keeps keeps,
                QObject *parent = nullptr);
    /** Saves what is still to be saved. */
    ~QueueKeeper() override;

    /**
     * Puts back the queue and the history the file keeps, after the entries already queued; the
     * save folder is where parts of entries nobody owns are looked for. Answers what to tell
     * the user: how many entries came back, and anything that went wrong; empty when there was
     * nothing to say.
     */
    QString restore(const QString &saveFolder);
    /**
     * Writes from now on, without taking in what the file had: a run whose queue is read
     * elsewhere. False when the file cannot be written; notice says why, or what was done
     * with a file that could not be read.
     */
    bool startAfresh(QString &notice);
    /** Off: nothing is kept, the file goes, and parts go with the program; on: all is saved. */
    void setKeeping(bool keeping);
    /** Saves now and waits: at the end of the program, before the session goes. */
    void flush() { m_store.flush(); }

signals:
    void saveFailed(const QString &why);
    void saveRecovered();

private:
    KeptQueue snapshot() const;
    /** Every change of what is kept asks the store for a save, which it makes only while it keeps. */
    void watch();

    DownloadSession &m_session;
    UrlDownloadService &m_downloads;
    Keeps m_keeps;
    QueueStore m_store;
};
