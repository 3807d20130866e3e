// SPDX-License-Identifier: MIT
#pragma once

#include "completion/CompletionCommand.h"
#include "queue/CommandRecord.h"
#include "queue/DownloadEntry.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

class QProcess;

/**
 * Runs the command after each file, one at a time and never waited for: the event loop goes on
 * while it runs, and the files that arrive meanwhile wait their turn (at most maxWaiting of
 * them; beyond that a file's record says its command did not run). A command still running at
 * the time limit is asked to end, and killed when it does not soon after. Every run ends in one
 * finished(), never from inside run(); a failing command changes nothing but its record.
 *
 * Thread contract: UI thread only (the thread it lives in).
 */
class CompletionCommandRunner final : public QObject
{
    Q_OBJECT
public:
    struct Limits
    {
        /** How long a command may run. */
        std::chrono::milliseconds timeLimit = std::chrono::seconds(60);
        /** How long one asked to end at the time limit has before it is killed. */
        std::chrono::milliseconds killAfter = std::chrono::seconds(5);
    };

    static constexpr int maxWaiting = 1000;

    explicit CompletionCommandRunner(Limits limits, QObject *parent = nullptr);
    explicit CompletionCommandRunner(QObject *parent = nullptr)
        : CompletionCommandRunner(Limits{}, parent)
    {
    }
    /** Kills a command still running: a program that ends takes none along unseen. */
    ~CompletionCommandRunner() override;

    /** The command for the files that arrive from now on; empty runs none. */
    void setCommand(const QString &command) { m_command = command; }
    const QString &command() const { return m_command; }

    /** The command for the file of entry id, now at path; nothing when no command is set. */
    void run(DownloadEntry::Id id, const QString &path);
    /** Whether a command runs or waits. */
    bool isBusy() const { return m_process != nullptr || !m_waiting.isEmpty(); }

signals:
    void finished(DownloadEntry::Id id, const CommandRecord &record);
    /** The last command that ran or waited has finished. */
    void idle();

private:
    struct Waiting
    {
        DownloadEntry::Id id;
        CompletionCommand::Invocation invocation;
    };

    void startNext();
    void readOutput();
    void processFinished(int exitCode, bool crashed);
    void end(const CommandRecord &record);

    Limits m_limits;
    QString m_command;
    QList<Waiting> m_waiting;
    // The command running now, and what is known of it.
    QProcess *m_process = nullptr;
    DownloadEntry::Id m_runningId = 0;
    QByteArray m_output;
    bool m_outputCut = false;
    bool m_timedOut = false;
    QTimer m_timeLimit;
    QTimer m_killTimer;
};
