// SPDX-License-Identifier: MIT
#include "platform/download/FileNameLimit.h"

#include <QFile>

#include <algorithm>

#include <unistd.h>

qsizetype fileNameLimit(const QString &folder)
{
    constexpr qsizetype usual = 255;
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    // FAT and exFAT (most USB sticks) say 1530, six bytes for each of their 255 UTF-16 units,
    // and refuse 256 ASCII letters; 255 bytes of UTF-8 never take more than 255 units.
    return limit > 0 ? std::min(qsizetype(limit), usual) : usual;
}
