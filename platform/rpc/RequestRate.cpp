// SPDX-License-Identifier: MIT
#include "platform/rpc/RequestRate.h"

RequestRate::RequestRate(int perSecond)
    : m_perSecond(perSecond)
{
}

bool RequestRate::admit()
{
    if (!m_second.isValid() || m_second.elapsed() >= 1000) {
        m_second.start();
        m_taken = 0;
    }
    if (m_taken >= m_perSecond)
        return false;
    ++m_taken;
    return true;
}
