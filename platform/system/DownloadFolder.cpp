// SPDX-License-Identifier: MIT
#include "platform/system/DownloadFolder.h"

#include <QDir>

QString DownloadFolder::defaultPath()
{
    return QDir::homePath() + QStringLiteral("/Quorvel/Downloads");
}

bool DownloadFolder::create(const QString &path)
{
    return QDir().mkpath(path);
}
