// SPDX-License-Identifier: MIT
#include "batch/ConfFileArguments.h"

#include "common/QuorvelError.h"

#include <QFile>

namespace {

// A file of options, not of data: anything larger is not one.
constexpr qint64 largestFile = 1024 * 1024;

} // namespace

QStringList ConfFileArguments::read(const QString &path, const QStringList &flags, const QStringList &valued)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw QuorvelError(QStringLiteral("不能打开配置文件 %1: %2").arg(path, file.errorString()));
    if (file.size() > largestFile)
        throw QuorvelError(QStringLiteral("配置文件 %1 太大").arg(path));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    QStringList arguments;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString key = line.left(equals).trimmed();
        const QString value = equals < 0 ? QString() : line.mid(equals + 1).trimmed();
        const auto wrong = [&](const QString &why) {
            return QuorvelError(QStringLiteral("配置文件 %1 第 %2 行: %3").arg(path, QString::number(i + 1), why));
        };
        if (equals < 0)
            throw wrong(QStringLiteral("需要 key=value"));
        if (flags.contains(key)) {
            if (value != QLatin1String("true") && value != QLatin1String("false"))
                throw wrong(QStringLiteral("%1 只能是 true 或 false").arg(key));
            if (value == QLatin1String("true"))
                arguments.append(QStringLiteral("--") + key);
        } else if (valued.contains(key)) {
            arguments.append(QStringLiteral("--") + key + QLatin1Char('=') + value);
        } else {
            throw wrong(QStringLiteral("未知的选项 ") + key);
        }
    }
    return arguments;
}

QString ConfFileArguments::defaultPath(const QString &configHome, const QString &home)
{
    const QString base = configHome.isEmpty() ? home + QStringLiteral("/.config") : configHome;
    return base + QStringLiteral("/quorvel/batch.conf");
}
