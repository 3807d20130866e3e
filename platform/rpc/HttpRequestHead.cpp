// SPDX-License-Identifier: MIT
#include "platform/rpc/HttpRequestHead.h"

namespace {

bool isToken(const QByteArray &text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

std::optional<QByteArray> HttpRequestHead::field(const QByteArray &name) const
{
    for (const auto &[fieldName, value] : fields) {
        if (fieldName.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return std::nullopt;
}

bool HttpRequestHead::fieldHasToken(const QByteArray &name, const QByteArray &token) const
{
    const std::optional<QByteArray> value = field(name);
    if (!value)
        return false;
    for (const QByteArray &part : value->split(',')) {
        if (part.trimmed().compare(token, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool HttpRequestHead::keepsAlive() const
{
    if (minorVersion == 0)
        return fieldHasToken("Connection", "keep-alive");
    return !fieldHasToken("Connection", "close");
}

bool HttpRequestHead::asksForWebSocket() const
{
    return fieldHasToken("Upgrade", "websocket") && fieldHasToken("Connection", "upgrade");
}

std::optional<HttpRequestHead> HttpRequestHead::parse(const QByteArray &head)
{
    QList<QByteArray> lines = head.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    const QList<QByteArray> requestLine = lines.value(0).split(' ');
    if (requestLine.size() != 3 || !isToken(requestLine[0]) || !requestLine[1].startsWith('/'))
        return std::nullopt;
    HttpRequestHead parsed;
    if (requestLine[2] == "HTTP/1.1")
        parsed.minorVersion = 1;
    else if (requestLine[2] == "HTTP/1.0")
        parsed.minorVersion = 0;
    else
        return std::nullopt;
    parsed.method = requestLine[0];
    const QByteArray &target = requestLine[1];
    const qsizetype question = target.indexOf('?');
    parsed.path = question < 0 ? target : target.left(question);
    if (question >= 0)
        parsed.query = target.mid(question + 1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        // Folded lines and names with spaces are how requests get smuggled past a proxy.
        if (colon <= 0 || !isToken(lines[i].left(colon)))
            return std::nullopt;
        parsed.fields.emplaceBack(lines[i].left(colon), lines[i].mid(colon + 1).trimmed());
    }
    return parsed;
}
