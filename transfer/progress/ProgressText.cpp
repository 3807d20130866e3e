// SPDX-License-Identifier: MIT
#include "transfer/progress/ProgressText.h"

#include <QLocale>
#include <QTime>

#include <algorithm>

namespace {

QLocale displayLocale()
{
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

QString twoDecimals(double value)
{
    return displayLocale().toString(value, 'f', 2);
}

// The long format names the time zone; a duration has none.
QString longTimeFormat()
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}

} // namespace

QString megabytesText(std::uint32_t kib)
{
    return twoDecimals(kib / 1024.0) + QStringLiteral(" MB");
}

QString percentText(std::uint32_t received, std::uint32_t total)
{
    if (total == 0)
        return QString();
    const std::uint64_t percent = std::min<std::uint64_t>(100, std::uint64_t(received) * 100 / total);
    return twoDecimals(double(percent)) + QStringLiteral(" %");
}

QString longTimeText(double days)
{
    const int ms = std::clamp(int(days * 86'400'000.0 + 0.5), 0, 86'399'999);
    return QTime::fromMSecsSinceStartOfDay(ms).toString(longTimeFormat());
}

QString durationText(std::int64_t seconds)
{
    if (seconds < 86'400)
        return longTimeText(double(std::max<std::int64_t>(seconds, 0)) / 86'400.0);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
