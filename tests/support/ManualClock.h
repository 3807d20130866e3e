// SPDX-License-Identifier: MIT
#pragma once

#include "automation/Clock.h"

/** A clock that stands still at whatever time of day the test sets. */
class ManualClock final : public Clock
{
public:
    double timeOfDay() const override { return m_now; }
    void set(double timeOfDay) { m_now = timeOfDay; }

private:
    double m_now = 0.5;
};
