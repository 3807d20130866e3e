// SPDX-License-Identifier: MIT
#include "transfer/TransferThrottle.h"

#include <algorithm>

std::chrono::nanoseconds TransferThrottle::waitAfter(std::uint64_t bytes, std::int64_t bytesPerSecond,
                                                     Clock::time_point now)
{
    if (bytesPerSecond <= 0) {
        m_bytesPerSecond = 0;
        return std::chrono::nanoseconds::zero();
    }
    const double capacity = bytesPerSecond / 8.0;
    if (m_bytesPerSecond == 0) {
        // Limited from now on: the bucket starts full, as if the transfer had waited.
        m_tokens = capacity;
    } else {
        const double elapsed = std::chrono::duration<double>(now - m_filledAt).count();
        m_tokens += elapsed * bytesPerSecond;
    }
    // Bytes owed stay owed when the limit changes; only the rate that pays them off is new.
    m_tokens = std::min(m_tokens, capacity);
    m_bytesPerSecond = bytesPerSecond;
    m_filledAt = now;
    m_tokens -= double(bytes);
    if (m_tokens >= 0)
        return std::chrono::nanoseconds::zero();
    return std::chrono::nanoseconds(std::int64_t(-m_tokens / double(bytesPerSecond) * 1e9));
}
