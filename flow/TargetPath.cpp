// SPDX-License-Identifier: MIT
#include "flow/TargetPath.h"

#include "automation/ShownText.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QRegularExpression>

#include <algorithm>

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

// The name is shown as well as written: what would steer a terminal or reorder the name on
// screen goes, as the path separator does.
bool unfitForFileName(QChar c)
{
    return c == QLatin1Char('/') || isControlOrBidiMark(c);
}

QString fitCharacters(QString name)
{
    for (QChar &c : name) {
        if (unfitForFileName(c))
            c = QLatin1Char('_');
    }
    return name;
}

bool namesNoFile(const QString &name)
{
    return name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..");
}

} // namespace

QString fileNameFromUrl(const QString &fileUrl)
{
    const QByteArray encoded = lastPathSegment(fileUrl).toUtf8();
    const QString name = fitCharacters(QString::fromUtf8(QByteArray::fromPercentEncoding(encoded)));
    return namesNoFile(name) ? QStringLiteral("download") : name;
}

QString fileNameFromOffer(const QString &suggestedName, const QString &fileUrl)
{
    // A server's name is a name, never a path: "../../x.bin" is saved as "x.bin" in the folder,
    // and a Windows path is cut the same way, as browsers do.
    const qsizetype cut = std::max(suggestedName.lastIndexOf(QLatin1Char('/')),
                                   suggestedName.lastIndexOf(QLatin1Char('\\')));
    const QString name = fitCharacters(suggestedName.sliced(cut + 1));
    return namesNoFile(name) ? fileNameFromUrl(fileUrl) : name;
}

QString fitFileName(const QString &name, qsizetype maxBytes)
{
    constexpr qsizetype longestKeptExtension = 32;
    if (name.toUtf8().size() <= maxBytes)
        return name;
    const QString tag = QLatin1Char('~')
        + QString::fromLatin1(QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex().first(8));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    QString extension;
    if (dot > 0 && name.sliced(dot).toUtf8().size() <= longestKeptExtension)
        extension = name.sliced(dot);
    if ((tag + extension).toUtf8().size() >= maxBytes)
        extension.clear();
    const QString stem = name.first(name.size() - extension.size());
    const qsizetype budget = maxBytes - (tag + extension).toUtf8().size();
    qsizetype bytes = 0;
    qsizetype end = 0;
    // Whole code points only: a surrogate pair is one character, four bytes in UTF-8.
    while (end < stem.size()) {
        const qsizetype width = stem.at(end).isHighSurrogate() && end + 1 < stem.size() ? 2 : 1;
        const qsizetype utf8 = stem.sliced(end, width).toUtf8().size();
        if (bytes + utf8 > budget)
            break;
        bytes += utf8;
        end += width;
    }
    return stem.first(end) + tag + extension;
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
