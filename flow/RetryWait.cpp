// SPDX-License-Identifier: MIT
#include "flow/RetryWait.h"

#include "automation/Clock.h"
#include "flow/FlowView.h"
#include "flow/StatusTexts.h"
#include "flow/WaitTime.h"

RetryWait::RetryWait(const Clock &clock, FlowView &view, QObject *parent)
    : QObject(parent), m_clock(clock), m_view(view)
{
    m_timer.setObjectName(QStringLiteral("RetryTimer"));
    m_timer.setParent(this);
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &RetryWait::tick);
}

void RetryWait::start(std::chrono::seconds wait, const QString &reason)
{
    m_startTime = m_clock.timeOfDay();
    m_duration = double(wait.count()) / 86'400.0;
    m_reason = reason;
    m_timer.start();
    tick();
}

void RetryWait::stop()
{
    m_timer.stop();
}

void RetryWait::tick()
{
    m_view.showStatus(0, StatusTexts::waitingToRetry);
    const double now = m_clock.timeOfDay();
    m_view.setStatusText(1, remainingTimeText(m_duration - elapsedSince(m_startTime, now)));
    m_view.showStatus(2, StatusTexts::reason(m_reason));
    if (!waitIsOver(m_startTime, m_duration, now))
        return;
    m_timer.stop();
    m_view.clearStatus();
    emit over();
}
