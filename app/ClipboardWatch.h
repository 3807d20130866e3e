// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

class QClipboard;

/**
 * Tells of each page URL the user copies while it watches: a clipboard text that is one http or
 * https URL and nothing else, so that a copied paragraph adds nothing. A text is told of once:
 * when the clipboard is set again with the same text (clipboard managers do so), nothing is
 * told; nor is what the clipboard held when the watch began. UI thread only.
 */
class ClipboardWatch final : public QObject
{
    Q_OBJECT

public:
    /** A single URL is never longer; a longer text is not read further. */
    static constexpr int maxChars = 8192;

    explicit ClipboardWatch(QClipboard &clipboard, QObject *parent = nullptr);

    bool isWatching() const { return m_watching; }
    void setWatching(bool watching);

signals:
    void urlCopied(const QString &url);

private:
    void clipboardChanged();
    QString clipboardText() const;

    QClipboard &m_clipboard;
    bool m_watching = false;
    QString m_lastText;
};
