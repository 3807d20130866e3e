// SPDX-License-Identifier: MIT
#include "automation/TextConversions.h"

#include "common/QuorvelError.h"

#include <limits>
#include <optional>

namespace {

QuorvelError integerError(const QString &text)
{
    return QuorvelError(QStringLiteral("'%1' 不是一个合法的整数值").arg(text));
}

QuorvelError timeError(const QString &text)
{
    return QuorvelError(QStringLiteral("‘%1’不是一个有效时间").arg(text));
}

std::optional<int> digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int value = -1;
    if (u >= u'0' && u <= u'9')
        value = u - u'0';
    else if (base == 16 && u >= u'a' && u <= u'f')
        value = u - u'a' + 10;
    else if (base == 16 && u >= u'A' && u <= u'F')
        value = u - u'A' + 10;
    if (value < 0)
        return std::nullopt;
    return value;
}

// Reads the digits of text[from..to) in base; nullopt when there are none, a non-digit comes, or
// the magnitude passes limit (checked per digit, so arbitrarily long texts cannot overflow).
std::optional<std::int64_t> readDigits(const QString &text, qsizetype from, qsizetype to, int base,
                                       std::int64_t limit)
{
    if (from >= to)
        return std::nullopt;
    std::int64_t value = 0;
    for (qsizetype i = from; i < to; ++i) {
        const auto digit = digitValue(text.at(i), base);
        if (!digit)
            return std::nullopt;
        value = value * base + *digit;
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

bool isX(QChar c)
{
    return c == u'x' || c == u'X';
}

} // namespace

QString FormatSecsToHMS(std::int32_t seconds)
{
    const auto hours = static_cast<std::uint16_t>(seconds / 3600);
    const auto minutes = static_cast<std::uint16_t>((seconds % 3600) / 60);
    const std::int32_t secs = seconds % 60;
    return QStringLiteral("%1:%2:%3").arg(hours).arg(minutes).arg(secs);
}

std::int32_t textToInteger(const QString &text)
{
    const qsizetype end = text.size();
    qsizetype i = 0;
    while (i < end && text.at(i) == u' ')
        ++i;
    bool negative = false;
    if (i < end && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    int base = 10;
    if (i < end && (text.at(i) == u'$' || isX(text.at(i)))) {
        base = 16;
        ++i;
    } else if (i + 1 < end && text.at(i) == u'0' && isX(text.at(i + 1))) {
        base = 16;
        i += 2;
    }
    const std::int64_t limit = negative ? -std::int64_t{std::numeric_limits<std::int32_t>::min()}
                                        : std::int64_t{std::numeric_limits<std::int32_t>::max()};
    const auto magnitude = readDigits(text, i, end, base, limit);
    if (!magnitude)
        throw integerError(text);
    return static_cast<std::int32_t>(negative ? -*magnitude : *magnitude);
}

double textToTime(const QString &text)
{
    const qsizetype firstColon = text.indexOf(u':');
    const qsizetype secondColon = firstColon < 0 ? -1 : text.indexOf(u':', firstColon + 1);
    if (secondColon < 0)
        throw timeError(text);
    const auto hours = readDigits(text, 0, firstColon, 10, 23);
    const auto minutes = readDigits(text, firstColon + 1, secondColon, 10, 59);
    const auto seconds = readDigits(text, secondColon + 1, text.size(), 10, 59);
    if (!hours || !minutes || !seconds)
        throw timeError(text);
    return static_cast<double>(*hours * 3600 + *minutes * 60 + *seconds) / 86400.0;
}
