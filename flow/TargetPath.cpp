// SPDX-License-Identifier: MIT
#include "flow/TargetPath.h"

#include <QByteArray>
#include <QRegularExpression>

namespace {

QString lastPathSegment(const QString &fileUrl)
{
    QString path = fileUrl;
    // The query or fragment is not part of the name, whichever comes first.
    const qsizetype cut = path.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    if (cut >= 0)
        path.truncate(cut);
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool unfitForFileName(QChar c)
{
    return c == QLatin1Char('/') || c.unicode() < 0x20 || c.unicode() == 0x7f;
}

} // namespace

QString fileNameFromUrl(const QString &fileUrl)
{
    const QByteArray encoded = lastPathSegment(fileUrl).toUtf8();
    QString name = QString::fromUtf8(QByteArray::fromPercentEncoding(encoded));
    for (QChar &c : name) {
        if (unfitForFileName(c))
            c = QLatin1Char('_');
    }
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("download");
    return name;
}

QString targetPath(const QString &folder, const QString &name, const QString &defaultFolder)
{
    QString base = folder.isEmpty() ? defaultFolder : folder;
    while (base.size() > 1 && base.endsWith(QLatin1Char('/')))
        base.chop(1);
    if (base == QLatin1String("/"))
        return base + name;
    return base + QLatin1Char('/') + name;
}
