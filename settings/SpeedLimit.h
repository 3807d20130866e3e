// SPDX-License-Identifier: MIT
#pragma once

#include <QTime>

#include <optional>

/**
 * The transfers' speed limit: one for all day, and a second one for the hours from..to (which
 * may run past midnight); within those hours the second one holds, outside them the first. Off
 * means full speed. Decides the limit for a time of day and when it next changes. A value; any
 * thread.
 */
struct SpeedLimit
{
    static constexpr int minKiB = 1;
    static constexpr int maxKiB = 10 * 1024 * 1024;

    bool limited = false;
    int kibPerSecond = 1024;
    bool scheduled = false;
    int scheduledKibPerSecond = 512;
    QTime from{8, 0};
    QTime to{23, 0};

    /** Bytes per second at time of day at; 0 is full speed. */
    qint64 bytesPerSecondAt(QTime at) const;
    /** Milliseconds from at until the limit may change; none while it never does. */
    std::optional<int> msecsToNextChange(QTime at) const;
    /**
     * This limit with bytesPerSecond (0: none) holding at every hour, as a remote client asks
     * for it: the hours' own limit is off, and a rate below a KiB is one.
     */
    SpeedLimit heldAllDay(qint64 bytesPerSecond) const;

    friend bool operator==(const SpeedLimit &, const SpeedLimit &) = default;

private:
    bool withinHours(QTime at) const;
};
