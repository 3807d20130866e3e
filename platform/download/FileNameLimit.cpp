// SPDX-License-Identifier: MIT
#include "platform/download/FileNameLimit.h"

#include <QFile>

#include <unistd.h>

qsizetype fileNameLimit(const QString &folder)
{
    constexpr qsizetype usual = 255;
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return limit > 0 ? qsizetype(limit) : usual;
}
