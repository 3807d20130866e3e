// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

/**
 * Turns a page's bytes into UTF-8 for the parser: a byte order mark wins, then the charset of
 * the Content-Type header, then one declared by a meta tag in the first 1024 bytes, else UTF-8.
 * Invalid sequences become U+FFFD. Thread contract: pure; any thread.
 */
class PageDecoder final
{
public:
    static QByteArray toUtf8(const QByteArray &bytes, const QByteArray &contentType);
    /** The charset label that decoding will use, as it would be looked up ("" = UTF-8). */
    static QByteArray charsetOf(const QByteArray &bytes, const QByteArray &contentType);

private:
    static QByteArray headerCharset(const QByteArray &contentType);
    static QByteArray metaCharset(const QByteArray &bytes);
    static QByteArray canonicalLabel(const QByteArray &label);
};
