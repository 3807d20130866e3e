// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clipboard/ClipboardReader.h"

class QClipboard;

/**
 * Reads the clipboard through Qt, on the UI thread, in the event loop's next turn. For the
 * platforms where no other way is open: offscreen has no other program's clipboard, and on
 * Wayland only the window's own connection may ask for it. UI thread only.
 */
class QtClipboardReader final : public ClipboardReader
{
    Q_OBJECT

public:
    explicit QtClipboardReader(QClipboard &clipboard, QObject *parent = nullptr);

    void read(qsizetype maxBytes) override;
    bool isReading() const override { return m_reading; }

private:
    QClipboard &m_clipboard;
    quint64 m_current = 0;
    bool m_reading = false;
};
