// SPDX-License-Identifier: MIT
#include "remote/Aria2Options.h"

#include "remote/RpcError.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString stringOption(const QJsonObject &options, const QString &name)
{
    const QJsonValue value = options.value(name);
    if (!value.isString())
        throw RpcError::failed(
            QStringLiteral("We encountered a problem while processing the option '--%1'.").arg(name));
    return value.toString();
}

} // namespace

QString folderInside(const QString &dir, const QString &saveFolder)
{
    const QString refused = QStringLiteral("dir %1 is not a folder inside the save folder %2.").arg(dir, saveFolder);
    // Canonical paths resolve ".." and symbolic links, so that a link inside the folder cannot
    // lead a file out of it.
    const QString root = QFileInfo(saveFolder).canonicalFilePath();
    const QFileInfo target(QDir(saveFolder).filePath(dir));
    const QString canonical = target.canonicalFilePath();
    if (root.isEmpty() || canonical.isEmpty() || !target.isDir())
        throw RpcError::failed(refused);
    if (canonical != root && !canonical.startsWith(root == QLatin1String("/") ? root : root + QLatin1Char('/')))
        throw RpcError::failed(refused);
    return canonical;
}

AddOptions readAddOptions(const QJsonObject &options, const QString &saveFolder, const QString &defaultDir)
{
    AddOptions read;
    if (options.contains(QStringLiteral("dir")))
        read.entryOptions.insert(QStringLiteral("dir"),
                                 folderInside(stringOption(options, QStringLiteral("dir")), saveFolder));
    else if (!defaultDir.isEmpty())
        read.entryOptions.insert(QStringLiteral("dir"), defaultDir);
    if (options.contains(QStringLiteral("out"))) {
        const QString out = stringOption(options, QStringLiteral("out"));
        // A name only: a path in it would be a way out of the folder.
        if (out.isEmpty() || out.contains(QLatin1Char('/')) || out == QLatin1String(".") || out == QLatin1String(".."))
            throw RpcError::failed(QStringLiteral("out %1 is not a file name.").arg(out));
        read.entryOptions.insert(QStringLiteral("out"), out);
    }
    if (options.contains(QStringLiteral("pause"))) {
        const QString pause = stringOption(options, QStringLiteral("pause"));
        if (pause != QLatin1String("true") && pause != QLatin1String("false"))
            throw RpcError::failed(QStringLiteral("pause must be either 'true' or 'false'."));
        read.paused = pause == QLatin1String("true");
    }
    return read;
}
