// SPDX-License-Identifier: MIT
#include "settings/SpeedLimitTimer.h"

SpeedLimitTimer::SpeedLimitTimer(TimeOfDay now, QObject *parent)
    : QObject(parent)
    , m_now(std::move(now))
{
    m_boundary.setSingleShot(true);
    m_boundary.setTimerType(Qt::PreciseTimer);
    connect(&m_boundary, &QTimer::timeout, this, &SpeedLimitTimer::update);
}

void SpeedLimitTimer::setLimit(const SpeedLimit &limit)
{
    m_limit = limit;
    update();
}

void SpeedLimitTimer::update()
{
    const QTime now = m_now();
    const qint64 limit = m_limit.bytesPerSecondAt(now);
    if (limit != m_bytesPerSecond) {
        m_bytesPerSecond = limit;
        emit bytesPerSecondChanged(limit);
    }
    // A timer that fires a little early finds the old limit and looks again a moment later.
    if (const std::optional<int> ahead = m_limit.msecsToNextChange(now))
        m_boundary.start(*ahead);
    else
        m_boundary.stop();
}
