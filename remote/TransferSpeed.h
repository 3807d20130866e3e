// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

#include <deque>

/**
 * The speed of one transfer over its last few seconds, from how many bytes had arrived when.
 * Holds a bounded number of samples however often it is fed. A value; one thread at a time.
 */
class TransferSpeed final
{
public:
    /** How far back the speed looks. */
    static constexpr qint64 windowMs = 3000;

    /** A new transfer: nothing is known of its speed. */
    void restart() { m_samples.clear(); }
    /** receivedBytes had arrived at atMs (any steady clock's milliseconds). */
    void sample(qint64 atMs, qint64 receivedBytes);
    /** Bytes a second over the window ending at nowMs; 0 when it holds too little to tell. */
    qint64 bytesPerSecond(qint64 nowMs) const;

private:
    struct Sample
    {
        qint64 atMs;
        qint64 bytes;
    };
    std::deque<Sample> m_samples;
};
