// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

/**
 * Memo2: the page text buffer that the page flow reads. It holds the body HTML of the current page
 * with CR LF line breaks and a caret (selection) that the scanners search after.
 *
 * The change handler is a plain callback rather than a Qt signal because the dispatch it runs may
 * throw, and that error has to come out of replaceText() to the page reader that called it.
 * Thread contract: UI thread only; handlers run synchronously on the calling thread.
 */
class PageTextBuffer final
{
public:
    /** Memo2's OnChange: runs after every change of the text except clear(). */
    void setOnChange(std::function<void()> handler);
    /** Sees every new text, clear() included, before the change handler runs (a widget mirror). */
    void setTextObserver(std::function<void(const QString &)> observer);

    /**
     * Replaces the whole text with text in CR LF form. An equal text changes nothing and runs
     * nothing; otherwise the selection becomes empty at the start and the change handler runs
     * before this returns, its exceptions propagating to the caller.
     */
    void replaceText(const QString &text);
    /** Empties the text; no change handler runs. */
    void clear();
    /**
     * Adds line as the new last line, with a line break before it where needed; the caret goes to
     * the end (so the scanners find nothing) and the change handler runs.
     */
    void appendLine(const QString &line);

    const QString &text() const { return m_text; }
    qsizetype selStart() const { return m_selStart; }
    qsizetype selLength() const { return m_selLength; }

    /** text with every lone CR or LF turned into CR LF. */
    static QString withCrLf(const QString &text);

private:
    void store(QString text, qsizetype caret);

    QString m_text;
    qsizetype m_selStart = 0;
    qsizetype m_selLength = 0;
    std::function<void()> m_onChange;
    std::function<void(const QString &)> m_textObserver;
};
