// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/** Why a layout file was skipped: its name, the line at fault (0: the file as a whole) and the reason. */
struct LayoutError
{
    QString file;
    int line = 0;
    QString reason;

    /** "FILE:LINE: REASON", the form compilers use, so that editors can jump to it. */
    QString text() const
    {
        return line > 0 ? QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(reason)
                        : QStringLiteral("%1: %2").arg(file, reason);
    }
};
