// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

/**
 * Turns a page's bytes into UTF-8 for the parser, choosing the encoding as a browser does: a
 * byte order mark wins, then the charset of the Content-Type header, then the first meta tag in
 * the first 1024 bytes whose charset the Encoding Standard knows (a meta tag's UTF-16 is read as
 * UTF-8, since bytes without a byte order mark that parsed as ASCII markup cannot be UTF-16),
 * else UTF-8 when the bytes are valid UTF-8 and windows-1252 when they are not. Invalid
 * sequences become U+FFFD. Thread contract: pure; any thread.
 */
class PageDecoder final
{
public:
    static QByteArray toUtf8(const QByteArray &bytes, const QByteArray &contentType);
    /** The encoding that decoding will use ("UTF-8", "windows-1252", "UTF-16LE", ...). */
    static QByteArray encodingOf(const QByteArray &bytes, const QByteArray &contentType);

private:
    static QByteArray bomEncoding(const QByteArray &bytes);
    static QByteArray headerCharset(const QByteArray &contentType);
    static QByteArray metaEncoding(const QByteArray &bytes);
    static QByteArray decoded(const QByteArray &bytes, const QByteArray &encoding);
    static QByteArray userDefined(const QByteArray &bytes);
};
