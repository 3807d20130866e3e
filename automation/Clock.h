// SPDX-License-Identifier: MIT
#pragma once

#include <QTime>

/**
 * Where the automation and the transfer display read the time. Times are fractions of a day
 * (1.0 = 24 hours), as the waits and the elapsed-time display count them. Tests substitute a
 * clock they move by hand. UI thread only.
 */
class Clock
{
public:
    virtual ~Clock() = default;
    /** The current time of day, without the date: 0.0 at midnight, below 1.0. */
    virtual double timeOfDay() const = 0;
};

/** The wall clock. */
class SystemClock final : public Clock
{
public:
    double timeOfDay() const override
    {
        return QTime::currentTime().msecsSinceStartOfDay() / 86400000.0;
    }
};
