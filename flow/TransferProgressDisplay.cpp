// SPDX-License-Identifier: MIT
#include "flow/TransferProgressDisplay.h"

#include "automation/Clock.h"
#include "automation/MainUnitState.h"
#include "automation/TextConversions.h"
#include "flow/FlowView.h"
#include "flow/StatusTexts.h"
#include "flow/WaitTime.h"
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
}

void TransferProgressDisplay::DownloadFile1Start()
{
    m.state.WaitDuration = 0.0;
    m.view.setField(Field::Elapsed, longTimeText(0.0));
    m.state.StartTime = m.clock.timeOfDay();
    m_elpsTimer.start();
    m_estTimer.start();
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

