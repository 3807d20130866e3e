// SPDX-License-Identifier: MIT
#include "platform/web/PageDecoder.h"

#include "platform/web/EncodingLabels.h"

#include <QRegularExpression>
#include <QStringDecoder>

QByteArray PageDecoder::toUtf8(const QByteArray &bytes, const QByteArray &contentType)
{
    return decoded(bytes, encodingOf(bytes, contentType));
}

QByteArray PageDecoder::encodingOf(const QByteArray &bytes, const QByteArray &contentType)
{
    if (QByteArray bom = bomEncoding(bytes); !bom.isEmpty())
        return bom;
    if (QByteArray header = EncodingLabels::encodingFor(headerCharset(contentType)); !header.isEmpty())
        return header;
    if (QByteArray meta = metaEncoding(bytes); !meta.isEmpty())
        return meta;
    // What Chromium's detector makes of an unlabelled page, near enough: UTF-8 when it is
    // valid, else the Western legacy encoding.
    return QByteArrayView(bytes).isValidUtf8() ? QByteArrayLiteral("UTF-8") : QByteArrayLiteral("windows-1252");
}

QByteArray PageDecoder::bomEncoding(const QByteArray &bytes)
{
    // Only these three: FF FE 00 00 is UTF-16LE to a browser, not UTF-32.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return "UTF-8";
    if (bytes.startsWith("\xFE\xFF"))
        return "UTF-16BE";
    if (bytes.startsWith("\xFF\xFE"))
        return "UTF-16LE";
    return {};
}

QByteArray PageDecoder::headerCharset(const QByteArray &contentType)
{
    static const QRegularExpression charset(QStringLiteral("charset\\s*=\\s*[\"']?([^\\s;\"']+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    return charset.match(QString::fromLatin1(contentType)).captured(1).toLatin1();
}

QByteArray PageDecoder::metaEncoding(const QByteArray &bytes)
{
    // Covers both <meta charset=...> and the http-equiv form, whose content holds "charset=".
    static const QRegularExpression meta(
        QStringLiteral("<meta\\b[^>]*?charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9_.:-]+)"),
        QRegularExpression::CaseInsensitiveOption);
    auto matches = meta.globalMatch(QString::fromLatin1(bytes.left(1024)));
    while (matches.hasNext()) {
        const QByteArray encoding = EncodingLabels::encodingFor(matches.next().captured(1).toLatin1());
        if (encoding.startsWith("UTF-16"))
            return "UTF-8";
        if (encoding == "x-user-defined")
            return "windows-1252";
        if (!encoding.isEmpty())
            return encoding;
    }
    return {};
}

QByteArray PageDecoder::decoded(const QByteArray &bytes, const QByteArray &encoding)
{
    // Most pages are valid UTF-8 already: handed on as they are, they cost no copy.
    if (encoding == "UTF-8" && !bytes.startsWith("\xEF\xBB\xBF") && QByteArrayView(bytes).isValidUtf8())
        return bytes;
    if (encoding == "replacement")
        return bytes.isEmpty() ? QByteArray() : QByteArrayLiteral("\xEF\xBF\xBD");
    if (encoding == "x-user-defined")
        return userDefined(bytes);
    // ICU's nearest decoders for the standard's: GBK is decoded as gb18030, its superset, and
    // the logical and visual Hebrew encodings have the same bytes.
    QByteArray name = encoding;
    if (name == "GBK")
        name = "gb18030";
    else if (name == "ISO-8859-8-I")
        name = "ISO-8859-8";
    QStringDecoder decoder(name.constData());
    if (!decoder.isValid())
        decoder = QStringDecoder("windows-1252");
    return QString(decoder.decode(bytes)).toUtf8();
}

QByteArray PageDecoder::userDefined(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = uchar(bytes[i]);
        text[i] = QChar(byte < 0x80 ? char16_t(byte) : char16_t(0xF780 + byte - 0x80));
    }
    return text.toUtf8();
}
