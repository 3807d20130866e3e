// SPDX-License-Identifier: MIT
#pragma once

#include "automation/Clock.h"

#include <QElapsedTimer>

/** A wall clock that runs factor times too fast, so minute-long waits pass in seconds. */
class FastClock final : public Clock
{
public:
    explicit FastClock(double factor, double start = 0.5) : m_factor(factor), m_start(start) { m_timer.start(); }
    double timeOfDay() const override
    {
        const double now = m_start + double(m_timer.elapsed()) * m_factor / 86'400'000.0;
        return now - double(long(now));
    }

private:
    QElapsedTimer m_timer;
    double m_factor;
    double m_start;
};
