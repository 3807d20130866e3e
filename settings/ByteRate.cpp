// SPDX-License-Identifier: MIT
#include "settings/ByteRate.h"

#include <QRegularExpression>

std::optional<std::int64_t> byteRateFrom(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,10})([kKmM]?)$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QString unit = match.captured(2).toUpper();
    const std::int64_t factor = unit == QLatin1String("K") ? 1024 : unit == QLatin1String("M") ? 1024 * 1024 : 1;
    return match.captured(1).toLongLong() * factor;
}
