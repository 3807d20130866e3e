// SPDX-License-Identifier: MIT
#include "queue/LinkIntake.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUrl>

namespace {

bool isBreak(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// Only a byte order mark tells UTF-16 from 8-bit text, as for the list files the menu imports.
QString decoded(const QByteArray &content)
{
    if (content.startsWith("\xEF\xBB\xBF"))
        return QStringDecoder(QStringDecoder::Utf8)(content);
    if (content.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE)(content);
    if (content.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE)(content);
    return QString::fromLocal8Bit(content);
}

} // namespace

QString LinkIntake::Result::summary() const
{
    QStringList parts = {QStringLiteral("已添加 %1 个网址").arg(urls.size())};
    if (skippedLines > 0)
        parts << QStringLiteral("跳过 %1 行").arg(skippedLines);
    if (ftpSkipped > 0)
        parts << QStringLiteral("%1 个 ftp 网址未添加: 只能下载 http 和 https 网址").arg(ftpSkipped);
    if (charsCapped)
        parts << QStringLiteral("只读取了前 %1 MiB").arg(maxChars / (1024 * 1024));
    if (urlsCapped)
        parts << QStringLiteral("只添加了前 %1 个网址").arg(maxUrls);
    if (!refusedFiles.isEmpty())
        parts << QStringLiteral("未读取 %1%2")
                     .arg(refusedFiles.constFirst(),
                          refusedFiles.size() > 1 ? QStringLiteral(" (共 %1 个文件)").arg(refusedFiles.size())
                                                  : QString());
    return parts.join(QStringLiteral(", "));
}

void LinkIntake::addText(QStringView text, bool cutShort)
{
    if (isFull())
        return;
    bool cut = cutShort;
    if (text.size() > m_charsLeft) {
        text = text.first(m_charsLeft);
        cut = true;
    }
    m_charsLeft -= text.size();
    take(text, cut);
}

void LinkIntake::addFile(const QString &path)
{
    if (isFull())
        return;
    const QFileInfo info(path);
    // A device or a pipe may never end, or block the open until someone writes to it.
    if (info.isDir())
        return refuse(path, QStringLiteral("这是文件夹"));
    if (info.exists() && !info.isFile())
        return refuse(path, QStringLiteral("不是普通文件"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(path, file.errorString());
    // Not the size the file system states: a file can grow while it is read.
    QByteArray content = file.read(m_charsLeft + 1);
    const bool cut = content.size() > m_charsLeft;
    if (cut)
        content.truncate(m_charsLeft);
    // A picture or an archive dropped by mistake has NUL bytes; its "lines" would be noise.
    const QString text = decoded(content);
    if (text.contains(QChar::Null))
        return refuse(path, QStringLiteral("不是文本文件"));
    m_charsLeft -= content.size();
    take(text, cut);
}

void LinkIntake::addArgument(const QString &urlOrPath)
{
    if (kindOf(QStringView(urlOrPath).trimmed()) != Word::NotUrl)
        addText(urlOrPath);
    else
        addFile(urlOrPath);
}

void LinkIntake::take(QStringView text, bool cut)
{
    if (cut) {
        m_result.charsCapped = true;
        m_charsLeft = 0;
        // The line the cap runs through would give a URL cut short: it goes whole.
        qsizetype end = text.size();
        while (end > 0 && !isBreak(text[end - 1]))
            --end;
        text = text.first(end);
    }
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size() && !m_result.urlsCapped; ++i) {
        if (i < text.size() && !isBreak(text[i]))
            continue;
        addLine(text.sliced(start, i - start));
        start = i + 1;
    }
}

void LinkIntake::addLine(QStringView line)
{
    line = line.trimmed();
    if (line.isEmpty() || line.startsWith(u'#'))
        return;
    bool took = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= line.size(); ++i) {
        if (i < line.size() && !line[i].isSpace())
            continue;
        const QStringView word = line.sliced(start, i - start);
        start = i + 1;
        switch (kindOf(word)) {
        case Word::NotUrl:
            break;
        case Word::Ftp:
            ++m_result.ftpSkipped;
            break;
        case Word::Fetchable:
            if (m_result.urls.size() >= maxUrls) {
                m_result.urlsCapped = true;
                return;
            }
            m_result.urls.append(word.toString());
            took = true;
            break;
        }
    }
    if (!took)
        ++m_result.skippedLines;
}

LinkIntake::Word LinkIntake::kindOf(QStringView word) const
{
    const auto starts = [word](const char *scheme) {
        return word.startsWith(QLatin1StringView(scheme), Qt::CaseInsensitive);
    };
    const bool ftp = starts("ftp://");
    if (!ftp && !starts("http://") && !starts("https://"))
        return Word::NotUrl;
    if (QUrl(word.toString()).host().isEmpty())
        return Word::NotUrl;
    return ftp && m_ftp == Ftp::Skip ? Word::Ftp : Word::Fetchable;
}

void LinkIntake::refuse(const QString &path, const QString &why)
{
    m_result.refusedFiles << QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), why);
}
