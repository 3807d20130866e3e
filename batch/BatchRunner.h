// SPDX-License-Identifier: MIT
#pragma once

#include "flow/RestReason.h"
#include "queue/OutcomeTally.h"
#include "transfer/UrlDownloadService.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QStringList>

class ConsoleView;
class DownloadSession;

/**
 * Works a queue without a user: starts the page flow as "开始下载" does, counts what became of each
 * URL, and ends when the session comes to rest (the queue is done, or nothing more happens
 * without someone at the screen), no power-off countdown runs and no command after a file is
 * running. An interrupt acts as "停止下载" and ends the run; a second one ends it at once.
 * Thread contract: UI thread only.
 */
class BatchRunner final : public QObject
{
    Q_OBJECT
public:
    static constexpr int exitInterrupted = 130;

    BatchRunner(DownloadSession &session, ConsoleView &console, QObject *parent = nullptr);

    void start(const QList<DownloadEntry> &entries, bool armShutdown);
    /** From now on the run does not end at rest: it waits for work from elsewhere until an interrupt. */
    void waitForWork() { m_waitsForWork = true; }
    /** SIGINT, SIGTERM or SIGHUP. */
    void interrupt();

signals:
    /** The run is over; exitCode is the program's exit status. */
    void finished(int exitCode);

private:
    void transferEnded(const QString &pageUrl, const QString &fileName, const TransferOutcome &outcome);
    void entryFailed(const QString &pageUrl, const QString &reason);
    void cameToRest();
    void finishAtRest();
    void finish(int exitCode);
    QString summary() const;

    DownloadSession &m_session;
    ConsoleView &m_console;
    QElapsedTimer m_clock;
    OutcomeTally m_tally;
    int m_retries = 0;
    QHash<QString, QString> m_failureReasons; // page URL -> why it last failed
    qint64 m_bytes = 0;
    quint64 m_resumedBytes = 0;
    int m_interrupts = 0;
    bool m_finished = false;
    bool m_awaitingCommand = false;
    bool m_waitsForWork = false;
};
