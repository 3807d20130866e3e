// SPDX-License-Identifier: MIT
#include "remote/TransferSpeed.h"

namespace {
// Progress may be reported thousands of times a second; a sample this far apart is enough.
constexpr qint64 sampleSpacingMs = 100;
} // namespace

void TransferSpeed::sample(qint64 atMs, qint64 receivedBytes)
{
    // A resumed or restarted count starts the measure again rather than read as a negative speed.
    if (!m_samples.empty() && receivedBytes < m_samples.back().bytes)
        m_samples.clear();
    if (m_samples.size() > 1 && atMs - m_samples[m_samples.size() - 2].atMs < sampleSpacingMs)
        m_samples.back() = {atMs, receivedBytes};
    else
        m_samples.push_back({atMs, receivedBytes});
    while (m_samples.size() > 2 && atMs - m_samples.front().atMs > windowMs)
        m_samples.pop_front();
}

qint64 TransferSpeed::bytesPerSecond(qint64 nowMs) const
{
    if (m_samples.size() < 2 || nowMs - m_samples.back().atMs > windowMs)
        return 0;
    const Sample &first = m_samples.front();
    const Sample &last = m_samples.back();
    const qint64 elapsed = std::max<qint64>(nowMs, last.atMs) - first.atMs;
    return elapsed > 0 ? (last.bytes - first.bytes) * 1000 / elapsed : 0;
}
