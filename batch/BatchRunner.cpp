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
        m.console.say(QStringLiteral("停在已失败的网址: ") + url);
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
        ++m_failed;
        m.console.say(QStringLiteral("下载失败: %1 (%2)").arg(pageUrl, outcome.reason));
        break;
    case TransferOutcome::Kind::Cancelled:
        m.console.say(QStringLiteral("已取消: ") + pageUrl);
        break;
    }
    if (m_interrupts > 0)
        finish(exitInterrupted);
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
    return QStringLiteral("完成 %1 个文件, 丢弃 %2, 失败 %3, 共 %4 字节, 用时 %5")
        .arg(m_done)
        .arg(m_dropped)
        .arg(m_failed)
        .arg(m_bytes)
        .arg(durationText(m_clock.elapsed() / 1000));
}
