// SPDX-License-Identifier: MIT
#include "batch/BatchRunner.h"

#include "automation/flow/PageFlow.h"
#include "batch/ConsoleView.h"
#include "power/ShutdownSwitch.h"
#include "queue/DownloadQueue.h"
#include "transfer/TDownloadFile.h"
#include "transfer/progress/ProgressText.h"
#include "transfer/progress/TransferProgressDisplay.h"

#include <QFileInfo>

namespace {
// The flow is at rest only when it stays so: a page's events arrive in quick succession.
constexpr int restTicksToFinish = 2;
constexpr int restCheckMs = 250;
} // namespace

BatchRunner::BatchRunner(Parts parts, QObject *parent) : QObject(parent), m(parts)
{
    m_restCheck.setInterval(restCheckMs);
    connect(&m_restCheck, &QTimer::timeout, this, &BatchRunner::checkRest);
    connect(&m.display, &TransferProgressDisplay::transferEnded, this, &BatchRunner::transferEnded);
    connect(&m.display, &TransferProgressDisplay::progressed, &m.console,
            [this](std::uint32_t received, std::uint32_t) { m.console.transferProgressed(received); });
    connect(&m.flow, &PageFlow::urlDropped, this, [this](const QString &url) {
        ++m_dropped;
        m.console.say(QStringLiteral("丢弃 (文件不存在): ") + url);
    });
    connect(&m.flow, &PageFlow::restingAtFailure, this, [this](const QString &url) {
        m.console.say(QStringLiteral("停在已失败的网址: %1 (%2)").arg(url, m_failureReasons.value(url)));
    });
    connect(&m.flow, &PageFlow::retryScheduled, this,
            [this](const QString &url, const QString &reason, std::chrono::seconds wait, int retry) {
                ++m_retries;
                m.console.say(QStringLiteral("第 %1 次重试 (%2), %3 秒后: %4")
                                  .arg(QString::number(retry), reason, QString::number(wait.count()), url));
            });
    connect(&m.flow, &PageFlow::entryFailed, this, &BatchRunner::entryFailed);
    connect(&m.shutdown.countdown(), &ShutdownCountdown::started, this, [this](int seconds) {
        m.console.say(QStringLiteral("%1。计算机将在 %2 秒后关机 (Ctrl+C 取消)")
                          .arg(m.shutdown.countdown().reason(), QString::number(seconds)));
    });
    connect(&m.shutdown.countdown(), &ShutdownCountdown::tick, this, [this](int remaining) {
        m.console.say(QStringLiteral("计算机将在 %1 秒后关机 (Ctrl+C 取消)").arg(remaining));
    });
}

void BatchRunner::start(const QStringList &urls, bool armShutdown)
{
    m_clock.start();
    m.queue.replaceAll(urls);
    m.queue.showHead();
    if (armShutdown)
        m.shutdown.menuChosen();
    m.flow.StartDownload1Click();
    m_restCheck.start();
}

void BatchRunner::interrupt()
{
    if (++m_interrupts > 1 || !m.download.Busy()) {
        if (m.shutdown.countdown().isRunning())
            m.shutdown.countdown().cancel();
        m.flow.StopDownExecute();
        finish(exitInterrupted);
        return;
    }
    m.console.say(QStringLiteral("停止下载..."));
    // The cancelled transfer's finish ends the run (transferEnded).
    m.flow.StopDownExecute();
}

void BatchRunner::transferEnded(const QString &pageUrl, const QString &fileName, const TransferOutcome &outcome)
{
    switch (outcome.kind) {
    case TransferOutcome::Kind::Done:
        ++m_done;
        m_bytes += QFileInfo(fileName).size();
        m.console.say(QStringLiteral("完成: ") + fileName);
        break;
    case TransferOutcome::Kind::Failed:
        // Whether that is the entry's end or a retry is next, the flow says.
        m.console.say(QStringLiteral("传输中断: %1 (%2)").arg(pageUrl, outcome.reason));
        break;
    case TransferOutcome::Kind::Cancelled:
        m.console.say(QStringLiteral("已取消: ") + pageUrl);
        break;
    }
    if (m_interrupts > 0)
        finish(exitInterrupted);
}

void BatchRunner::entryFailed(const QString &pageUrl, const QString &reason)
{
    ++m_failed;
    ++m_failuresByReason[reason];
    m_failureReasons.insert(pageUrl, reason);
    m.console.say(QStringLiteral("下载失败: %1 (%2)").arg(pageUrl, reason));
}

void BatchRunner::checkRest()
{
    const bool atRest = m.flow.isAtRest() && !m.shutdown.countdown().isRunning();
    m_restTicks = atRest ? m_restTicks + 1 : 0;
    if (m_restTicks < restTicksToFinish)
        return;
    const bool allDone = m.queue.count() == 0 && m.queue.currentUrl().isEmpty();
    if (!allDone)
        m.console.say(QStringLiteral("队列停下, 还剩 %1 个网址").arg(qMax(m.queue.count(), 1)));
    finish(allDone && m_failed == 0 && m_dropped == 0 ? 0 : 1);
}

void BatchRunner::finish(int exitCode)
{
    if (m_finished)
        return;
    m_finished = true;
    m_restCheck.stop();
    m.console.say(summary());
    emit finished(exitCode);
}

QString BatchRunner::summary() const
{
    QString text = QStringLiteral("完成 %1 个文件, 丢弃 %2, 失败 %3, 共 %4 字节, 重试 %5 次, 用时 %6")
                       .arg(m_done)
                       .arg(m_dropped)
                       .arg(m_failed)
                       .arg(m_bytes)
                       .arg(m_retries)
                       .arg(durationText(m_clock.elapsed() / 1000));
    for (auto it = m_failuresByReason.cbegin(); it != m_failuresByReason.cend(); ++it)
        text += QStringLiteral("\n  失败原因 %1: %2").arg(it.key()).arg(it.value());
    return text;
}
