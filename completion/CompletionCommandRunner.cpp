// SPDX-License-Identifier: MIT
#include "completion/CompletionCommandRunner.h"

#include <QProcess>

CompletionCommandRunner::CompletionCommandRunner(Limits limits, QObject *parent)
    : QObject(parent)
    , m_limits(limits)
{
    m_timeLimit.setSingleShot(true);
    m_killTimer.setSingleShot(true);
    connect(&m_timeLimit, &QTimer::timeout, this, [this] {
        m_timedOut = true;
        m_process->terminate();
        m_killTimer.start(m_limits.killAfter);
    });
    connect(&m_killTimer, &QTimer::timeout, this, [this] { m_process->kill(); });
}

CompletionCommandRunner::~CompletionCommandRunner()
{
    if (!m_process)
        return;
    // Its signals would reach an object half gone.
    m_process->disconnect(this);
    m_process->kill();
    m_process->waitForFinished(1000);
}

void CompletionCommandRunner::run(DownloadEntry::Id id, const QString &path)
{
    const auto invocation = CompletionCommand::invocation(m_command, id, path);
    if (!invocation)
        return;
    if (m_waiting.size() >= maxWaiting) {
        // Said later, as every run's end is: a caller never meets its own record inside run().
        QMetaObject::invokeMethod(
            this, [this, id] { emit finished(id, CompletionCommand::notRun(QStringLiteral("等待运行的命令太多"))); },
            Qt::QueuedConnection);
        return;
    }
    m_waiting.append({id, *invocation});
    if (!m_process && m_waiting.size() == 1)
        QMetaObject::invokeMethod(this, &CompletionCommandRunner::startNext, Qt::QueuedConnection);
}

void CompletionCommandRunner::startNext()
{
    if (m_process || m_waiting.isEmpty())
        return;
    const Waiting next = m_waiting.takeFirst();
    m_runningId = next.id;
    m_output.clear();
    m_outputCut = false;
    m_timedOut = false;
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    // A command that reads its input would wait for a terminal that is not there.
    m_process->setStandardInputFile(QProcess::nullDevice());
    connect(m_process, &QProcess::readyReadStandardOutput, this, &CompletionCommandRunner::readOutput);
    connect(m_process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        processFinished(exitCode, status == QProcess::CrashExit);
    });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        // A command that started ends through finished(), a crash included.
        if (error == QProcess::FailedToStart)
            end(CompletionCommand::notStarted(m_process->errorString()));
    });
    m_timeLimit.start(m_limits.timeLimit);
    m_process->start(next.invocation.program, next.invocation.arguments);
}

void CompletionCommandRunner::readOutput()
{
    const QByteArray chunk = m_process->readAll();
    // Read to the end whatever the cap: a command whose output nobody reads blocks on a full pipe.
    const qsizetype room = CompletionCommand::maxOutputBytes - m_output.size();
    m_output += chunk.first(std::min(room, chunk.size()));
    m_outputCut = m_outputCut || chunk.size() > room;
}

void CompletionCommandRunner::processFinished(int exitCode, bool crashed)
{
    readOutput();
    if (m_timedOut)
        end(CompletionCommand::timedOut(m_limits.timeLimit, m_output, m_outputCut));
    else if (crashed)
        end(CompletionCommand::crashed(m_output, m_outputCut));
    else
        end(CompletionCommand::exited(exitCode, m_output, m_outputCut));
}

void CompletionCommandRunner::end(const CommandRecord &record)
{
    m_timeLimit.stop();
    m_killTimer.stop();
    m_process->disconnect(this);
    m_process->deleteLater();
    m_process = nullptr;
    emit finished(m_runningId, record);
    // From the event loop, as the first one: a command that cannot start must not recurse here.
    if (m_waiting.isEmpty())
        emit idle();
    else
        QMetaObject::invokeMethod(this, &CompletionCommandRunner::startNext, Qt::QueuedConnection);
}
