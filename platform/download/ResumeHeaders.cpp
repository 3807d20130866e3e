// SPDX-License-Identifier: MIT
#include "platform/download/ResumeHeaders.h"

#include <QList>

namespace {
std::optional<std::uint64_t> number(const QByteArray &digits)
{
    if (digits.isEmpty() || digits.size() > 19)
        return std::nullopt;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    return digits.toULongLong();
}
} // namespace

void ResumeHeaders::addLine(QByteArray line)
{
    line = line.trimmed();
    if (line.startsWith("HTTP/")) {
        *this = ResumeHeaders();
        return;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return;
    const QByteArray name = line.first(colon).trimmed().toLower();
    const QByteArray value = line.sliced(colon + 1).trimmed();
    if (name == "etag")
        m_etag = value;
    else if (name == "last-modified")
        m_lastModified = value;
    else if (name == "content-range")
        m_contentRange = parseContentRange(value);
}

QByteArray ResumeHeaders::validator() const
{
    const bool strongEtag = m_etag.size() >= 2 && m_etag.startsWith('"') && m_etag.endsWith('"');
    return strongEtag ? m_etag : m_lastModified;
}

bool ResumeHeaders::isVersion(const QByteArray &validator) const
{
    if (validator.isEmpty())
        return false;
    // A strong ETag is quoted; a date never starts with a quote.
    return validator.startsWith('"') ? m_etag == validator : m_lastModified == validator;
}

std::optional<ResumeHeaders::ContentRange> ResumeHeaders::parseContentRange(const QByteArray &value)
{
    if (!value.startsWith("bytes "))
        return std::nullopt;
    const QByteArray range = value.sliced(6).trimmed();
    const qsizetype dash = range.indexOf('-');
    const qsizetype slash = range.indexOf('/');
    if (dash <= 0 || slash <= dash)
        return std::nullopt;
    const auto first = number(range.first(dash));
    const auto last = number(range.sliced(dash + 1, slash - dash - 1));
    if (!first || !last || *last < *first)
        return std::nullopt;
    const QByteArray totalText = range.sliced(slash + 1);
    if (totalText == "*")
        return ContentRange{*first, *last, std::nullopt};
    const auto total = number(totalText);
    if (!total || *last >= *total)
        return std::nullopt;
    return ContentRange{*first, *last, *total};
}
