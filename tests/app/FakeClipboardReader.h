// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clipboard/ClipboardReader.h"

#include <QClipboard>
#include <QGuiApplication>

/**
 * Answers a read at once with the application's clipboard text, as a quick owner would; held, it
 * keeps the read running until the test answers it.
 */
class FakeClipboardReader final : public ClipboardReader
{
public:
    void read(qsizetype maxBytes) override
    {
        ++reads;
        lastMaxBytes = maxBytes;
        m_reading = true;
        if (!held)
            answer(QGuiApplication::clipboard()->text(), false);
    }
    bool isReading() const override { return m_reading; }

    void answer(const QString &text, bool cutShort)
    {
        m_reading = false;
        emit textRead(text, cutShort);
    }
    void fail(const QString &reason)
    {
        m_reading = false;
        emit failed(reason);
    }

    bool held = false;
    int reads = 0;
    qsizetype lastMaxBytes = 0;

private:
    bool m_reading = false;
};
