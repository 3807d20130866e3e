// SPDX-License-Identifier: MIT
#include "power/ShutdownCountdown.h"

#include <algorithm>

ShutdownCountdown::ShutdownCountdown(std::chrono::milliseconds step, QObject *parent)
    : QObject(parent)
{
    m_timer.setInterval(step);
    connect(&m_timer, &QTimer::timeout, this, &ShutdownCountdown::countOneSecond);
}

bool ShutdownCountdown::start(int seconds, const QString &reason)
{
    if (isRunning())
        return false;
    m_reason = reason;
    m_remaining = std::max(seconds, 0);
    m_timer.start();
    emit started(m_remaining);
    return true;
}

void ShutdownCountdown::cancel()
{
    if (!stop())
        return;
    emit cancelled();
    emit finished();
}

void ShutdownCountdown::withdraw()
{
    if (stop())
        emit finished();
}

bool ShutdownCountdown::isRunning() const
{
    return m_timer.isActive();
}

int ShutdownCountdown::remaining() const
{
    return m_remaining;
}

QString ShutdownCountdown::reason() const
{
    return m_reason;
}

void ShutdownCountdown::countOneSecond()
{
    if (m_remaining > 0)
        --m_remaining;
    if (m_remaining > 0) {
        emit tick(m_remaining);
        return;
    }
    stop();
    emit expired();
    emit finished();
}

bool ShutdownCountdown::stop()
{
    const bool wasRunning = isRunning();
    m_timer.stop();
    return wasRunning;
}
