// SPDX-License-Identifier: MIT
#include "queue/ShownUrl.h"

#include "automation/ShownText.h"

#include <QList>

namespace {

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// The byte of the escape at i, or -1 when there is none there.
int escapedByte(const QString &text, qsizetype i)
{
    if (i + 2 >= text.size() || text[i] != u'%')
        return -1;
    const int high = hexValue(text[i + 1]);
    const int low = hexValue(text[i + 2]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

int sequenceLength(int lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 0;
}

bool isSeen(char32_t codePoint)
{
    switch (QChar::category(codePoint)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return false;
    default:
        return codePoint != 0xFFFD;
    }
}

// The character of the UTF-8 sequence escaped at i, and how many characters of text it takes;
// none when the escapes there are not one whole sequence of a character that is seen.
QString decodedAt(const QString &text, qsizetype i, qsizetype &taken)
{
    const int lead = escapedByte(text, i);
    const int length = sequenceLength(lead);
    if (length == 0)
        return {};
    QByteArray bytes(1, char(lead));
    for (int k = 1; k < length; ++k) {
        const int next = escapedByte(text, i + 3 * k);
        if (next < 0 || (next & 0xC0) != 0x80)
            return {};
        bytes.append(char(next));
    }
    // Overlong forms and surrogates come out as U+FFFD, which isSeen refuses.
    const QString decoded = QString::fromUtf8(bytes);
    const QList<uint> codePoints = decoded.toUcs4();
    if (codePoints.size() != 1 || !isSeen(codePoints.constFirst()))
        return {};
    taken = 3 * length;
    return decoded;
}

QString percentDecoded(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        qsizetype taken = 0;
        const QString decoded = text[i] == u'%' ? decodedAt(text, i, taken) : QString();
        if (taken > 0) {
            out += decoded;
            i += taken;
        } else {
            out += text[i];
            ++i;
        }
    }
    return out;
}

} // namespace

QString shownUrl(const QString &url)
{
    // Masked before decoding, as a server reads the URL: an escaped "/" in a password must not
    // end the authority before the "@". Again after: an escaped URL in the query has its own.
    return shownText(percentDecoded(shownText(url)));
}
