// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

/**
 * A queue list file: 8-bit text, one page URL per line. Lines end in CR LF, LF or CR in any
 * mixture; a break at the very end adds no entry; a NUL byte ends the text. Thread-agnostic.
 */
class QueueListFile final
{
public:
    /** Reads the whole file; throws QuorvelError "不能打开文件 \"<full path>\". <reason>". */
    static QStringList read(const QString &path);
    /** The entries of the file content, decoded with the locale's 8-bit encoding. */
    static QStringList splitLines(const QByteArray &content);
};
