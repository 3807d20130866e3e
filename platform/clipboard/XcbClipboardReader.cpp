// SPDX-License-Identifier: MIT
#include "platform/clipboard/XcbClipboardReader.h"

#include "platform/clipboard/XcbSelectionRead.h"

#include <QThread>

XcbClipboardReader::XcbClipboardReader(QByteArray display, std::chrono::milliseconds limit, QObject *parent)
    : ClipboardReader(parent)
    , m_display(std::move(display))
    , m_limit(limit)
{
}

XcbClipboardReader::~XcbClipboardReader()
{
    m_current = 0;
    for (QThread *worker : findChildren<QThread *>())
        worker->wait();
}

void XcbClipboardReader::read(qsizetype maxBytes)
{
    const quint64 mine = ++m_current;
    m_reading = true;
    QThread *worker = QThread::create([this, mine, maxBytes] {
        const XcbSelectionRead outcome = XcbSelectionRead::run(m_display, maxBytes, m_limit,
                                                               [this, mine] { return m_current != mine; });
        QMetaObject::invokeMethod(
            this,
            [this, mine, outcome] {
                if (m_current != mine)
                    return;
                m_reading = false;
                if (outcome.error.isEmpty())
                    emit textRead(outcome.text, outcome.cutShort);
                else
                    emit failed(outcome.error);
            },
            Qt::QueuedConnection);
    });
    worker->setParent(this);
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}
