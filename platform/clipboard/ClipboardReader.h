// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

/**
 * Reads the text on the clipboard without holding up the caller: the answer comes later, once a
 * read, as textRead or failed. At most maxBytes of it are kept; a text that went on is cut there,
 * and says so. A read asked for while one runs replaces it: the earlier one never answers. Made,
 * used and answering on the UI thread.
 */
class ClipboardReader : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void read(qsizetype maxBytes) = 0;
    virtual bool isReading() const = 0;

signals:
    /** An empty clipboard, or one without text, reads as an empty text. */
    void textRead(const QString &text, bool cutShort);
    void failed(const QString &reason);
};
