// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>

/** How many requests the server takes in one second, over all its clients together. */
class RequestRate final
{
public:
    explicit RequestRate(int perSecond);

    /** Counts one request; false when this second's share is already spent. */
    bool admit();

private:
    int m_perSecond;
    int m_taken = 0;
    QElapsedTimer m_second;
};
