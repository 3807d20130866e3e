// SPDX-License-Identifier: MIT
#include "batch/BatchRunner.h"

#include "batch/ConsoleView.h"
#include "flow/DownloadSession.h"
#include "transfer/ProgressText.h"

#include <QFileInfo>

BatchRunner::BatchRunner(DownloadSession &session, ConsoleView &console, QObject *parent)
    : QObject(parent), m_session(session), m_console(console)
{
    connect(&m_session, &DownloadSession::cameToRest, this, &BatchRunner::cameToRest);
    // A power-off countdown at the end of the queue holds the run until it ends either way.
    connect(&m_session.shutdown().countdown(), &ShutdownCountdown::finished, this, [this] {
        if (m_session.isAtRest())
            finishAtRest();
    });
    connect(&m_session, &DownloadSession::transferEnded, this, &BatchRunner::transferEnded);
    connect(&m_session, &DownloadSession::progressed, &m_console,
            [this](std::uint32_t received, std::uint32_t) { m_console.transferProgressed(received); });
    connect(&m_session, &DownloadSession::urlDropped, this,
            [this](const QString &url) { m_console.say(QStringLiteral("丢弃 (文件不存在): ") + url); });
    connect(&m_session, &DownloadSession::restingAtFailure, this, [this](const QString &url) {
        m_console.say(QStringLiteral("停在已失败的网址: %1 (%2)").arg(url, m_failureReasons.value(url)));
    });
    connect(&m_session, &DownloadSession::retryScheduled, this,
            [this](const QString &url, const QString &reason, std::chrono::seconds wait, int retry) {
                ++m_retries;
                m_console.say(QStringLiteral("第 %1 次重试 (%2), %3 秒后: %4")
                                  .arg(QString::number(retry), reason, QString::number(wait.count()), url));
            });
    connect(&m_session, &DownloadSession::entryFailed, this, &BatchRunner::entryFailed);
    connect(&m_session, &DownloadSession::entryEnded, this,
            [this](const DownloadEntry &entry) { m_tally.record(entry); });
    connect(&m_session.completionCommand(), &CompletionCommandRunner::finished, this,
            [this](DownloadEntry::Id id, const CommandRecord &record) {
                m_console.say(QStringLiteral("完成后的命令 (%1): %2").arg(DownloadEntry::idText(id), record.result));
                if (!record.output.isEmpty())
                    m_console.say(record.output.trimmed());
            });
    connect(&m_session, &DownloadSession::insecureConnection, this, [this](const QString &pageUrl, const QString &url) {
        m_console.say(QStringLiteral("%1: %2 (%3)").arg(PageFlow::insecureConnectionText(), url, pageUrl));
    });
    connect(&m_session.shutdown().countdown(), &ShutdownCountdown::started, this, [this](int seconds) {
        m_console.say(QStringLiteral("%1。计算机将在 %2 秒后关机 (Ctrl+C 取消)")
                          .arg(m_session.shutdown().countdown().reason(), QString::number(seconds)));
    });
    connect(&m_session.shutdown().countdown(), &ShutdownCountdown::tick, this, [this](int remaining) {
        m_console.say(QStringLiteral("计算机将在 %1 秒后关机 (Ctrl+C 取消)").arg(remaining));
    });
}

void BatchRunner::start(const QList<DownloadEntry> &entries, bool armShutdown)
{
    m_clock.start();
    m_session.queue().replaceAll(entries);
    m_session.queue().showHead();
    if (armShutdown)
        m_session.shutdown().menuChosen();
    m_session.StartDownload1Click();
}

void BatchRunner::interrupt()
{
    if (++m_interrupts > 1 || !m_session.transferRunning()) {
        if (m_session.shutdown().countdown().isRunning())
            m_session.shutdown().countdown().cancel();
        m_session.flow().suspend();
        finish(exitInterrupted);
        return;
    }
    m_console.say(QStringLiteral("停止下载..."));
    // The cancelled transfer's finish ends the run (transferEnded).
    m_session.flow().suspend();
}

void BatchRunner::transferEnded(const QString &pageUrl, const QString &fileName, const TransferOutcome &outcome)
{
    // What an earlier try had kept and this one did not fetch again.
    m_resumedBytes += outcome.resumedBytes;
    switch (outcome.kind) {
    case TransferOutcome::Kind::Done:
        m_bytes += QFileInfo(fileName).size();
        m_console.say(QStringLiteral("完成: ") + fileName);
        break;
    case TransferOutcome::Kind::Failed:
        // Whether that is the entry's end or a retry is next, the flow says.
        m_console.say(QStringLiteral("传输中断: %1 (%2)").arg(pageUrl, outcome.reason));
        break;
    case TransferOutcome::Kind::Cancelled:
        m_console.say(QStringLiteral("已取消: ") + pageUrl);
        break;
    }
    if (m_interrupts > 0)
        finish(exitInterrupted);
}

void BatchRunner::entryFailed(const QString &pageUrl, const QString &reason)
{
    m_failureReasons.insert(pageUrl, reason);
    m_console.say(QStringLiteral("下载失败: %1 (%2)").arg(pageUrl, reason));
}

void BatchRunner::cameToRest()
{
    if (!m_session.shutdown().countdown().isRunning())
        finishAtRest();
}

void BatchRunner::finishAtRest()
{
    if (m_waitsForWork) {
        m_console.say(QStringLiteral("队列停下, 等待新任务 (Ctrl+C 或 SIGTERM 退出)"));
        return;
    }
    DownloadQueue &queue = m_session.queue();
    const bool allDone = queue.count() == 0 && queue.currentUrl().isEmpty();
    if (!allDone)
        m_console.say(QStringLiteral("队列停下, 还剩 %1 个网址").arg(qMax(queue.count(), 1)));
    finish(allDone && m_tally.failed() == 0 && m_tally.dropped() == 0 ? 0 : 1);
}

void BatchRunner::finish(int exitCode)
{
    if (m_finished)
        return;
    // The last file's command may still be unpacking it; a second interrupt does not wait for it.
    CompletionCommandRunner &command = m_session.completionCommand();
    if (command.isBusy() && m_interrupts < 2) {
        if (!m_awaitingCommand)
            m_console.say(QStringLiteral("等待完成后的命令结束..."));
        m_awaitingCommand = true;
        connect(
            &command, &CompletionCommandRunner::idle, this, [this, exitCode] { finish(exitCode); },
            Qt::SingleShotConnection);
        return;
    }
    m_finished = true;
    m_console.say(summary());
    emit finished(exitCode);
}

QString BatchRunner::summary() const
{
    QString text = QStringLiteral("完成 %1 个文件, 丢弃 %2, 失败 %3, 共 %4 字节, 重试 %5 次, 续传 %6 字节, 用时 %7")
                       .arg(m_tally.done())
                       .arg(m_tally.dropped())
                       .arg(m_tally.failed())
                       .arg(m_bytes)
                       .arg(m_retries)
                       .arg(m_resumedBytes)
                       .arg(durationText(m_clock.elapsed() / 1000));
    const QMap<QString, int> failures = m_tally.failuresByReason();
    for (auto it = failures.cbegin(); it != failures.cend(); ++it)
        text += QStringLiteral("\n  失败原因 %1: %2").arg(it.key()).arg(it.value());
    return text;
}
