// SPDX-License-Identifier: MIT
#include "settings/SpeedLimit.h"

#include <algorithm>

namespace {
constexpr int msecsPerDay = 24 * 3600 * 1000;

int msecsUntil(QTime at, QTime boundary)
{
    const int ahead = boundary.msecsSinceStartOfDay() - at.msecsSinceStartOfDay();
    return ahead > 0 ? ahead : ahead + msecsPerDay;
}
} // namespace

bool SpeedLimit::withinHours(QTime at) const
{
    const int now = at.msecsSinceStartOfDay();
    const int start = from.msecsSinceStartOfDay();
    const int end = to.msecsSinceStartOfDay();
    if (start <= end)
        return now >= start && now < end;
    // The hours run past midnight.
    return now >= start || now < end;
}

qint64 SpeedLimit::bytesPerSecondAt(QTime at) const
{
    if (scheduled && withinHours(at))
        return qint64(scheduledKibPerSecond) * 1024;
    return limited ? qint64(kibPerSecond) * 1024 : 0;
}

std::optional<int> SpeedLimit::msecsToNextChange(QTime at) const
{
    if (!scheduled || from == to)
        return std::nullopt;
    return std::min(msecsUntil(at, from), msecsUntil(at, to));
}

SpeedLimit SpeedLimit::heldAllDay(qint64 bytesPerSecond) const
{
    SpeedLimit held = *this;
    held.scheduled = false;
    held.limited = bytesPerSecond > 0;
    if (held.limited)
        held.kibPerSecond = int(std::clamp<qint64>((bytesPerSecond + 1023) / 1024, minKiB, maxKiB));
    return held;
}
