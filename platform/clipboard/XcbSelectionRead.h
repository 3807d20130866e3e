// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>

/**
 * One read of the CLIPBOARD selection's text over a connection of its own to the X display:
 * UTF8_STRING, else STRING or text/plain, in one piece or incrementally (INCR). It keeps no more
 * than maxBytes of it and stops asking the owner for more once it has them; it gives up at the
 * time limit, or soon after stopped answers true (asked from the reading thread). Blocks: for a
 * worker thread; any thread.
 */
struct XcbSelectionRead
{
    QString text;
    /** The text went on past maxBytes. */
    bool cutShort = false;
    /** Empty when the read succeeded. */
    QString error;

    static XcbSelectionRead run(const QByteArray &display, qsizetype maxBytes, std::chrono::milliseconds limit,
                                const std::function<bool()> &stopped);
};
