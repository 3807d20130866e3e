// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

class ClipboardReader;
class QClipboard;

/**
 * Tells of each page URL the user copies while it watches: a clipboard text that is one http or
 * https URL and nothing else, so that a copied paragraph adds nothing. A text is told of once:
 * when the clipboard is set again with the same text (clipboard managers do so), nothing is
 * told; nor is what the clipboard held when the watch began. The text is read aside by reader,
 * no more of it than a URL can be, so that a huge copy in another program never holds up the
 * window. UI thread only.
 */
class ClipboardWatch final : public QObject
{
    Q_OBJECT

public:
    /** A single URL is never longer; a longer text is not read further. */
    static constexpr int maxChars = 8192;

    /** clipboard tells of changes; reader is the watch's alone. */
    ClipboardWatch(QClipboard &clipboard, ClipboardReader &reader, QObject *parent = nullptr);

    bool isWatching() const { return m_watching; }
    void setWatching(bool watching);

signals:
    void urlCopied(const QString &url);

private:
    void clipboardChanged();
    void textRead(const QString &read, bool cutShort);

    ClipboardReader &m_reader;
    bool m_watching = false;
    /** The text being read is what the clipboard held when the watch began. */
    bool m_readingFirst = false;
    QString m_lastText;
};
