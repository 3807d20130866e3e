// SPDX-License-Identifier: MIT
#include "automation/ShownText.h"

namespace {

bool endsAuthority(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('?') || c == QLatin1Char('#') || c.isSpace();
}

} // namespace

bool isControlOrBidiMark(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7f && u <= 0x9f) || u == 0x061c || u == 0x200e || u == 0x200f
        || (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
}

QString shownText(const QString &text)
{
    QString shown = text;
    for (QChar &c : shown) {
        if (isControlOrBidiMark(c))
            c = QLatin1Char('_');
    }
    // In a URL's authority (up to the first "/", "?" or "#") the user information runs to the
    // last "@" and its password from the first ":", as URL parsers read them: an "@" in the
    // password must not leave the password's end in sight. One pass, however long the text.
    static const QString separator = QStringLiteral("://");
    QString masked;
    qsizetype copied = 0;
    qsizetype at = shown.indexOf(separator);
    while (at >= 0) {
        const qsizetype start = at + separator.size();
        qsizetype end = start;
        qsizetype firstColon = -1;
        qsizetype lastAt = -1;
        for (; end < shown.size() && !endsAuthority(shown.at(end)); ++end) {
            if (shown.at(end) == QLatin1Char(':') && firstColon < 0)
                firstColon = end;
            else if (shown.at(end) == QLatin1Char('@'))
                lastAt = end;
        }
        if (firstColon >= 0 && firstColon < lastAt) {
            masked += QStringView(shown).sliced(copied, firstColon + 1 - copied);
            masked += QStringLiteral("***");
            copied = lastAt;
        }
        // The next URL may begin with the authority's last ":" ("a://b://user:pw@c").
        at = shown.indexOf(separator, qMax(start, end - 1));
    }
    if (copied == 0)
        return shown;
    masked += QStringView(shown).sliced(copied);
    return masked;
}
