// SPDX-License-Identifier: MIT
#include "platform/system/DownloadFolder.h"

#include <QDir>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

QString DownloadFolder::defaultPath()
{
    return QDir::homePath() + QStringLiteral("/Quorvel/Downloads");
}

bool DownloadFolder::create(const QString &path, QString *why)
{
    // QDir::mkpath would say only that it failed; the user needs to know why.
    std::error_code error;
    const std::filesystem::path native(path.toStdU16String());
    std::filesystem::create_directories(native, error);
    if (!error && std::filesystem::is_directory(native, error))
        return true;
    if (why)
        *why = QString::fromLocal8Bit(error ? error.message() : std::strerror(ENOTDIR));
    return false;
}
