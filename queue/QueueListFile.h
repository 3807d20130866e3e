// SPDX-License-Identifier: MIT
#pragma once

#include "queue/DownloadEntry.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

/**
 * A queue list file: text, one page URL per line. A byte order mark says UTF-8, UTF-16 LE or
 * UTF-16 BE (what Windows Notepad saves); without one the text is in the locale's 8-bit
 * encoding. Lines end in CR LF, LF or CR in any mixture; a break at the very end adds no entry.
 * A list in the layout of aria2's input files (options indented under their URL; Quorvel's kept
 * queue is one) reads as its entries with their options, less those that had ended there.
 * Thread-agnostic.
 */
class QueueListFile final
{
public:
    /** No real list comes near this (about a million URLs); a larger file is not a list. */
    static constexpr qint64 maxBytes = qint64(64) * 1024 * 1024;

    /**
     * Reads the whole file; throws QuorvelError "不能打开文件 \"<full path>\". <reason>" for a
     * file that cannot be opened or is not a regular one, "不能读取文件 ..." for one too large
     * or not text.
     */
    static QList<DownloadEntry> read(const QString &path);
    /** The entries of a list's lines. */
    static QList<DownloadEntry> entriesOf(const QStringList &lines);
    /**
     * The entries of lines typed or pasted into "新建下载": a list's, where a line
     * "checksum=TYPE=DIGEST" under a URL is its option, indented or not. Throws QuorvelError when
     * a checksum line cannot be used (no URL above it, a digest that cannot be one): its file
     * would arrive unchecked.
     */
    static QList<DownloadEntry> typedEntries(QStringList lines);
    /** The entries of the file content; throws QuorvelError with the reason when it is not text. */
    static QStringList splitLines(const QByteArray &content);

private:
    static QString decoded(const QByteArray &content);
};
