// SPDX-License-Identifier: MIT
#include "flow/WaitTime.h"

#include <cmath>
#include <cstdlib>

namespace {
constexpr long long msPerDay = 86'400'000;
}

double elapsedSince(double start, double now)
{
    const double elapsed = now - start;
    return elapsed < 0 ? elapsed + 1.0 : elapsed;
}

QString remainingTimeText(double remaining)
{
    const long long ms = std::llabs(std::llround(remaining * msPerDay)) % msPerDay;
    const long long seconds = ms / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

bool waitIsOver(double start, double duration, double now)
{
    const double remaining = duration - elapsedSince(start, now);
    // Less than a whole second left already reads "00:00:00"; a late tick finds it negative.
    return std::llround(remaining * msPerDay) < 1000;
}
