// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/**
 * The status bar's fixed texts with the panel widths that go with them: five pixels for each
 * byte the text was stored in (the visible text padded with NUL bytes in the Chinese code page).
 */
struct StatusText
{
    QString text;
    int width;
};

namespace StatusTexts {
inline const StatusText nextDownloadStarts{QStringLiteral(" 下一个开始下载 "), 145};
inline const StatusText youMustWait{QStringLiteral(" 你应等待 "), 85};
inline const StatusText nextDownload{QStringLiteral(" 下一个下载"), 110};
inline const StatusText checkDownloadLink{QStringLiteral(" 错误 - 请检查下载链接 "), 200};
inline const StatusText downloading{QStringLiteral(" 下载中... "), 80};
inline const StatusText noMoreUrls{QStringLiteral(" 没有更多下载网址 "), 125};
// Stored like " 你应等待 ", which has as many visible characters.
inline const StatusText downloadFailed{QStringLiteral(" 下载失败 "), 85};

/** Bytes of text in the Chinese code page: two for each character outside ASCII. */
inline int codePageBytes(const QString &text)
{
    int bytes = 0;
    for (const QChar c : text)
        bytes += c.unicode() < 0x80 ? 1 : 2;
    return bytes;
}

/** The run rests at entries that failed; a start by the user tries them all again. */
inline StatusText restingAtFailures(int failed)
{
    const QString text = QStringLiteral(" %1 个下载失败 - 开始下载将重试 ").arg(failed);
    return {text, 5 * codePageBytes(text)};
}

/** Panel 0 while an entry waits to be tried again; sized like " 你应等待 ", the other wait. */
inline const StatusText waitingToRetry{QStringLiteral(" 等待重试 "), 85};

/** Why an entry failed or waits, after one blank, five pixels a byte like the fixed texts. */
inline StatusText reason(const QString &why)
{
    const QString text = QLatin1Char(' ') + why;
    return {text, 5 * codePageBytes(text)};
}

/** A file's name after one blank, five pixels a character like the fixed texts. */
inline StatusText fileName(const QString &name)
{
    const QString text = QLatin1Char(' ') + name;
    return {text, 5 * int(text.size())};
}
} // namespace StatusTexts
