// SPDX-License-Identifier: MIT
#pragma once

#include "settings/SpeedLimit.h"

#include <QObject>
#include <QTime>
#include <QTimer>

#include <functional>

/**
 * Says the limit in force whenever it changes: at once when given a new setting, and at each
 * boundary of the limited hours. Tests pass the time of day. Thread contract: UI thread only.
 */
class SpeedLimitTimer final : public QObject
{
    Q_OBJECT

public:
    using TimeOfDay = std::function<QTime()>;

    explicit SpeedLimitTimer(TimeOfDay now = &QTime::currentTime, QObject *parent = nullptr);

    void setLimit(const SpeedLimit &limit);
    qint64 bytesPerSecond() const { return m_bytesPerSecond; }

signals:
    /** Bytes per second from now on; 0 is full speed. */
    void bytesPerSecondChanged(qint64 bytesPerSecond);

private:
    void update();

    TimeOfDay m_now;
    SpeedLimit m_limit;
    QTimer m_boundary;
    qint64 m_bytesPerSecond = -1;
};
