// SPDX-License-Identifier: MIT
#include "platform/web/PageDecoder.h"

#include <QRegularExpression>
#include <QStringConverter>
#include <QStringDecoder>

QByteArray PageDecoder::toUtf8(const QByteArray &bytes, const QByteArray &contentType)
{
    QStringDecoder decoder;
    if (const auto bom = QStringConverter::encodingForData(bytes))
        decoder = QStringDecoder(*bom);
    else if (const QByteArray label = charsetOf(bytes, contentType); !label.isEmpty())
        decoder = QStringDecoder(label.constData());
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringConverter::Utf8);
    const QString text = decoder.decode(bytes);
    return text.toUtf8();
}

QByteArray PageDecoder::charsetOf(const QByteArray &bytes, const QByteArray &contentType)
{
    for (const QByteArray &label : {headerCharset(contentType), metaCharset(bytes)}) {
        const QByteArray canonical = canonicalLabel(label);
        if (!canonical.isEmpty() && QStringDecoder(canonical.constData()).isValid())
            return canonical;
    }
    return {};
}

QByteArray PageDecoder::headerCharset(const QByteArray &contentType)
{
    static const QRegularExpression charset(QStringLiteral("charset\\s*=\\s*[\"']?([^\\s;\"']+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    return charset.match(QString::fromLatin1(contentType)).captured(1).toLatin1();
}

QByteArray PageDecoder::metaCharset(const QByteArray &bytes)
{
    // Covers both <meta charset=...> and the http-equiv form, whose content holds "charset=".
    static const QRegularExpression meta(
        QStringLiteral("<meta\\b[^>]*?charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9_.:-]+)"),
        QRegularExpression::CaseInsensitiveOption);
    return meta.match(QString::fromLatin1(bytes.left(1024))).captured(1).toLatin1();
}

QByteArray PageDecoder::canonicalLabel(const QByteArray &label)
{
    const QByteArray lower = label.trimmed().toLower();
    // Browsers read these labels as the wider encodings that pages labelled so really use; a
    // UTF-16 label on bytes that had no byte order mark can only be wrong, so UTF-8 is used.
    if (lower == "iso-8859-1" || lower == "latin1" || lower == "us-ascii" || lower == "ascii")
        return "windows-1252";
    if (lower == "gb2312" || lower == "gbk" || lower == "x-gbk" || lower == "chinese")
        return "GB18030";
    if (lower.startsWith("utf-16") || lower == "utf8")
        return "UTF-8";
    return lower;
}
