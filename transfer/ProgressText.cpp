// SPDX-License-Identifier: MIT
#include "transfer/ProgressText.h"

#include <QLocale>
#include <QTime>

#include <algorithm>

namespace {

QLocale displayLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

QString twoDecimals(double value)
{
    return displayLocale().toString(value, 'f', 2);
}

// The long format may name the time zone and the half of the day, which a duration has not:
// "h:mm:ss AP t" would show fourteen seconds as "12:00:14 AM UTC". Quoted text stays as it is.
QString longTimeFormat()
{
    const QString format = QLocale().timeFormat(QLocale::LongFormat);
    QString duration;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c == QLatin1Char('\'')) {
            duration += c;
        } else if (c == QLatin1Char('a') || c == QLatin1Char('A')) {
            if (i + 1 < format.size() && format.at(i + 1).toLower() == QLatin1Char('p'))
                ++i;
        } else if (c != QLatin1Char('t')) {
            duration += c == QLatin1Char('h') ? QLatin1Char('H') : c;
        }
    }
    return duration.trimmed();
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
