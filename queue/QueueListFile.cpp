// SPDX-License-Identifier: MIT
#include "queue/QueueListFile.h"

#include "common/FileChecksum.h"
#include "common/QuorvelError.h"
#include "queue/EntryListText.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

QList<DownloadEntry> QueueListFile::read(const QString &path)
{
    const QFileInfo info(path);
    const QString fullPath = info.absoluteFilePath();
    // A device or a pipe never ends (/dev/zero) or blocks the open until someone writes to it.
    // A directory is left to the open, which names it as one.
    if (info.exists() && !info.isFile() && !info.isDir()) {
        throw QuorvelError(QStringLiteral("不能打开文件 \"%1\". 这不是普通文件 (是设备、管道或套接字)").arg(fullPath));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw QuorvelError(QStringLiteral("不能打开文件 \"%1\". %2").arg(fullPath, file.errorString()));
    // Not the size the file system states: a file can grow while it is read.
    const QByteArray content = file.read(maxBytes + 1);
    if (content.size() > maxBytes)
        throw QuorvelError(QStringLiteral("不能读取文件 \"%1\". 它大于 64 MiB, 不是网址列表").arg(fullPath));
    try {
        return entriesOf(splitLines(content));
    } catch (const QuorvelError &error) {
        throw QuorvelError(QStringLiteral("不能读取文件 \"%1\". %2").arg(fullPath, error.message()));
    }
}

QList<DownloadEntry> QueueListFile::entriesOf(const QStringList &lines)
{
    QList<DownloadEntry> entries;
    if (!EntryListText::hasOptions(lines)) {
        entries.reserve(lines.size());
        for (const QString &line : lines) {
            DownloadEntry entry;
            entry.url = line;
            entries.append(std::move(entry));
        }
        return entries;
    }
    for (DownloadEntry &entry : EntryListText::read(lines, false).entries) {
        if (!entry.isFinished())
            entries.append(std::move(entry));
    }
    return entries;
}

QList<DownloadEntry> QueueListFile::typedEntries(QStringList lines)
{
    const QString checksumLine = FileChecksum::optionKey + u'=';
    bool checked = false;
    for (QString &line : lines) {
        if (const QString trimmed = line.trimmed(); trimmed.startsWith(checksumLine)) {
            line = QStringLiteral("  ") + trimmed;
            checked = true;
        }
    }
    if (!checked)
        return entriesOf(lines);
    // Any line an option list would skip is a checksum line: every other one is an entry here.
    EntryListText::Reading reading = EntryListText::read(lines, false);
    if (reading.skippedLines > 0)
        throw QuorvelError(QStringLiteral("有 %1 行校验值无法使用, 网址未添加. 校验值写在网址的下一行, 例如 "
                                          "checksum=sha-256=<64 位十六进制>, 也可以是 sha-1 或 md5")
                               .arg(reading.skippedLines));
    return std::move(reading.entries);
}

QStringList QueueListFile::splitLines(const QByteArray &content)
{
    const QString text = decoded(content);
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines.append(text.sliced(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.sliced(start));
    return lines;
}

QString QueueListFile::decoded(const QByteArray &content)
{
    // Only a byte order mark tells UTF-16 from 8-bit text; the decoders drop the mark itself.
    QString text;
    if (content.startsWith("\xEF\xBB\xBF"))
        text = QStringDecoder(QStringDecoder::Utf8)(content);
    else if (content.startsWith("\xFF\xFE"))
        text = QStringDecoder(QStringDecoder::Utf16LE)(content);
    else if (content.startsWith("\xFE\xFF"))
        text = QStringDecoder(QStringDecoder::Utf16BE)(content);
    else
        text = QString::fromLocal8Bit(content);
    // Read in part, such a file would lose every entry after the first NUL, or all of them.
    if (text.contains(QChar::Null))
        throw QuorvelError(QStringLiteral("文件中有 NUL 字节, 不是文本文件 (没有字节顺序标记的 UTF-16 文件也是这样)"));
    return text;
}
