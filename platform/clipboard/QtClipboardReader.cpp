// SPDX-License-Identifier: MIT
#include "platform/clipboard/QtClipboardReader.h"

#include <QClipboard>

QtClipboardReader::QtClipboardReader(QClipboard &clipboard, QObject *parent)
    : ClipboardReader(parent)
    , m_clipboard(clipboard)
{
}

void QtClipboardReader::read(qsizetype maxBytes)
{
    const quint64 mine = ++m_current;
    m_reading = true;
    QMetaObject::invokeMethod(
        this,
        [this, mine, maxBytes] {
            if (m_current != mine)
                return;
            m_reading = false;
            const QString text = m_clipboard.text();
            // A character of text is at least a byte of it: maxBytes characters keep no less.
            emit textRead(text.left(maxBytes), text.size() > maxBytes);
        },
        Qt::QueuedConnection);
}
