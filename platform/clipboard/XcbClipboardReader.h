// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clipboard/ClipboardReader.h"

#include <QByteArray>

#include <atomic>
#include <chrono>

/**
 * Reads the X11 clipboard on a worker thread of its own, over its own connection to display, so
 * that an owner handing over a huge text, or none at all, never holds up the window. Gone, it
 * stops its reads and waits for them (a tenth of a second at most). UI thread only.
 */
class XcbClipboardReader final : public ClipboardReader
{
    Q_OBJECT

public:
    explicit XcbClipboardReader(QByteArray display, std::chrono::milliseconds limit = std::chrono::seconds(5),
                                QObject *parent = nullptr);
    ~XcbClipboardReader() override;

    void read(qsizetype maxBytes) override;
    bool isReading() const override { return m_reading; }

private:
    const QByteArray m_display;
    const std::chrono::milliseconds m_limit;
    /** The read whose answer counts; the one a worker has is given up when this moves on. */
    std::atomic<quint64> m_current = 0;
    bool m_reading = false;
};
