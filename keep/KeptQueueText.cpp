// SPDX-License-Identifier: MIT
#include "keep/KeptQueueText.h"

#include "queue/EntryListText.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace {
const QByteArray headerStart = "# quorvel-queue format=";
const QByteArray endLine = "# quorvel-queue end";
} // namespace

QByteArray KeptQueueText::write(const KeptQueue &kept)
{
    QByteArray out = headerStart + QByteArray::number(format) + '\n';
    out += "# Quorvel 的下载列表和下载记录: 每个网址一行, 其下缩进的 key=value 行是它的选项.\n"
           "# 也可以交给 quorvel-batch 作为列表; 已完成和已删除的不会再下载.\n";
    for (const QList<DownloadEntry> *part : {&kept.active, &kept.queue, &kept.history}) {
        for (const DownloadEntry &entry : *part)
            EntryListText::write(entry, out);
    }
    out += endLine + '\n';
    return out;
}

KeptQueueText::Reading KeptQueueText::read(const QByteArray &content)
{
    Reading reading;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(content);
    if (decoder.hasError() || text.contains(QChar::Null)) {
        reading.unreadable = QStringLiteral("不是文本");
        return reading;
    }
    QStringView body = text;
    if (body.endsWith(u'\n'))
        body.chop(1);
    const qsizetype headerEnd = body.indexOf(u'\n');
    const QStringView first = body.first(headerEnd < 0 ? body.size() : headerEnd);
    static const QRegularExpression header(QStringLiteral("^# quorvel-queue format=(\\d+)$"));
    const QRegularExpressionMatch match = header.match(first);
    if (!match.hasMatch()) {
        reading.unreadable = QStringLiteral("不是 Quorvel 的下载列表");
        return reading;
    }
    if (match.captured(1).toInt() > format) {
        reading.unreadable = QStringLiteral("由更新版本的 Quorvel 写成");
        return reading;
    }
    // Written whole and renamed into place, a file without its end was cut short by something else.
    const qsizetype lastStart = body.lastIndexOf(u'\n') + 1;
    if (headerEnd < 0 || body.sliced(lastStart) != QLatin1String(endLine)) {
        reading.unreadable = QStringLiteral("文件不完整");
        return reading;
    }
    EntryListText::Reading entries = EntryListText::read(body.sliced(headerEnd + 1, lastStart - headerEnd - 1), true);
    reading.skippedLines = entries.skippedLines;
    for (DownloadEntry &entry : entries.entries)
        (entry.isFinished() ? reading.kept.history : reading.kept.queue).append(std::move(entry));
    return reading;
}
