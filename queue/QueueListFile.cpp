// SPDX-License-Identifier: MIT
#include "queue/QueueListFile.h"

#include "common/QuorvelError.h"

#include <QFile>
#include <QFileInfo>

QStringList QueueListFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw QuorvelError(QStringLiteral("不能打开文件 \"%1\". %2")
                               .arg(QFileInfo(path).absoluteFilePath(), file.errorString()));
    }
    return splitLines(file.readAll());
}

QStringList QueueListFile::splitLines(const QByteArray &content)
{
    const qsizetype nul = content.indexOf('\0');
    const QByteArrayView text = QByteArrayView(content).first(nul < 0 ? content.size() : nul);
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.append(QString::fromLocal8Bit(text.sliced(start, i - start)));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(QString::fromLocal8Bit(text.sliced(start)));
    return lines;
}
