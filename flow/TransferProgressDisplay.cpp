// SPDX-License-Identifier: MIT
#include "flow/TransferProgressDisplay.h"

#include "automation/Clock.h"
#include "automation/MainUnitState.h"
#include "automation/TextConversions.h"
#include "flow/FlowView.h"
#include "flow/PageFlow.h"
#include "flow/StatusTexts.h"
#include "flow/WaitTime.h"
#include "power/ShutdownSwitch.h"
#include "queue/DownloadQueue.h"
#include "transfer/ProgressText.h"
#include "transfer/TDownloadFile.h"

using Field = FlowView::Field;

TransferProgressDisplay::TransferProgressDisplay(Parts parts, QObject *parent)
    : QObject(parent), m(parts)
{
    m_elpsTimer.setObjectName(QStringLiteral("ElpsTimer"));
    m_estTimer.setObjectName(QStringLiteral("EstTimer"));
    m_elpsTimer.setParent(this);
    m_estTimer.setParent(this);
    m_elpsTimer.setInterval(1000);
    m_estTimer.setInterval(5000);
    connect(&m_elpsTimer, &QTimer::timeout, this, &TransferProgressDisplay::ElpsTimerTimer);
    connect(&m_estTimer, &QTimer::timeout, this, &TransferProgressDisplay::EstTimerTimer);
    m.download.setOnStart([this](QObject *) { DownloadFile1Start(); });
    m.download.setOnProgress([this](QObject *, std::uint32_t received, std::uint32_t total) {
        DownloadFile1Progress(received, total);
    });
    m.download.setOnFinish([this](QObject *, bool) { DownloadFile1Finish(); });
}

void TransferProgressDisplay::DownloadFile1Start()
{
    m.state.WaitDuration = 0.0;
    m.view.setField(Field::Elapsed, longTimeText(0.0));
    m.state.StartTime = m.clock.timeOfDay();
    m_elpsTimer.start();
    m_estTimer.start();
    m.download.setTag(1);
    m.shutdown.workStarted();
    m_pageUrl = m.state.PageUrl;
    // The entry whose file is now on its way leaves the queue. It is the head unless the user
    // deleted or moved it during the countdown, or typed the URL by hand; the head is then an
    // entry whose file nobody has fetched, and it stays.
    if (const int index = m.queue.indexOfUrl(m_pageUrl); index >= 0)
        m.queue.removeAt(index);
}

void TransferProgressDisplay::DownloadFile1Progress(std::uint32_t receivedKiB, std::uint32_t totalKiB)
{
    // An unknown total has no size and no share to show.
    m.view.setField(Field::Size, totalKiB == 0 ? QString() : megabytesText(totalKiB));
    m.view.setField(Field::Completed, megabytesText(receivedKiB));
    m.state.TotalSize = totalKiB + 2;
    m.state.ReceivedSize = receivedKiB + 1;
    const QString percent = percentText(receivedKiB, totalKiB);
    m.view.setField(Field::Percent, percent);
    if (totalKiB == 0)
        m.view.setField(Field::Estimate, QString());
    else
        showEstimate();
    m.view.showStatus(0, StatusTexts::downloading);
    m.view.setStatusText(1, percent);
    // What the status bar names is the file as it is saved (a free name beside a taken one), not
    // the URL's percent-encoded segment.
    const QString saved = m.download.savedFileName();
    m.view.showStatus(2, StatusTexts::fileName(saved.mid(saved.lastIndexOf(QLatin1Char('/')) + 1)));
    emit progressed(receivedKiB, totalKiB);
}

void TransferProgressDisplay::showEstimate()
{
    // Only the bytes this transfer fetched took its time; a resumed file's kept part did not.
    const std::int64_t kept = std::min(m.download.ResumedKiB(), m.state.ReceivedSize - 1);
    const std::int64_t seconds = (std::int64_t(m.state.TotalSize) - kept) * m.state.ElapsedSeconds
        / (std::int64_t(m.state.ReceivedSize) - kept);
    m.state.EstimateText = FormatSecsToHMS(std::int32_t(std::min<std::int64_t>(seconds, INT32_MAX)));
    m.state.EstimatedTime = double(seconds) / 86'400.0;
    m.view.setField(Field::Estimate, durationText(seconds));
}

void TransferProgressDisplay::DownloadFile1Finish()
{
    m.view.clearStatus();
    m_elpsTimer.stop();
    m_estTimer.stop();
    for (Field field : {Field::Size, Field::Completed, Field::Percent, Field::Elapsed, Field::Estimate})
        m.view.setField(field, QString());
    m.queue.setCurrentUrl(QString());
    m.download.setTag(0);
    m.state.MarkerFound = 0;
    m.state.ElapsedSeconds = 0;

    const TransferOutcome outcome = m.download.lastOutcome().value_or(TransferOutcome::failed(QString()));
    // A failure is shown by the flow, which decides whether the entry is tried again.
    m.flow.transferEnded(m_pageUrl, outcome);
    emit transferEnded(m_pageUrl, m.download.savedFileName(), outcome);
    // With the queue empty, this makes the power-off check.
    m.flow.DeleteURLExecute();
    if (m.queue.count() == 0)
        m.view.showStatus(0, StatusTexts::noMoreUrls);
}

void TransferProgressDisplay::ElpsTimerTimer()
{
    m.state.ElapsedTime = elapsedSince(m.state.StartTime, m.clock.timeOfDay());
    m.view.setField(Field::Elapsed, longTimeText(m.state.ElapsedTime));
}

void TransferProgressDisplay::EstTimerTimer()
{
    m.state.ElapsedSeconds += 5;
}

