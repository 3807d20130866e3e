// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

/**
 * The page URLs in what a user hands over at once: pasted or dropped text, dropped list files,
 * or the program's arguments. A URL is a word (words are separated by blanks, one or many a
 * line) that starts with http://, https:// or ftp:// and names a host; it is taken exactly as
 * written. ftp URLs are recognised but left out with their own count while the downloads cannot
 * fetch them. What one intake reads is capped in characters and in URLs taken, so that a huge
 * clipboard or a wrongly dropped file costs a bounded time and memory; the result says whether a
 * cap was hit. Not thread-safe; any one thread.
 */
class LinkIntake final
{
public:
    /** Characters of text and bytes of files read in all, over every part of one intake. */
    static constexpr qsizetype maxChars = qsizetype(8) * 1024 * 1024;
    static constexpr int maxUrls = 10000;

    enum class Ftp { Take, Skip };

    struct Result
    {
        QStringList urls;
        /** Lines, neither blank nor a "#" comment, of which no URL was taken. */
        int skippedLines = 0;
        /** ftp URLs left out because the downloads cannot fetch them. */
        int ftpSkipped = 0;
        /** Reading stopped at maxChars; a line cut there was left out whole. */
        bool charsCapped = false;
        /** Reading stopped at maxUrls. */
        bool urlsCapped = false;
        /** One line a file that was not read: its name and why. */
        QStringList refusedFiles;

        /** What a status line says of it, in a line. */
        QString summary() const;
    };

    explicit LinkIntake(Ftp ftp = Ftp::Skip)
        : m_ftp(ftp)
    {
    }

    /**
     * cutShort: its source stopped at a cap of its own; the last line, perhaps cut, goes, and the
     * result says the cap was hit.
     */
    void addText(QStringView text, bool cutShort = false);
    /** Reads the file as a list (its byte order mark decides the encoding); refuses one not text. */
    void addFile(const QString &path);
    /** A URL, or else the path of a list file. */
    void addArgument(const QString &urlOrPath);

    const Result &result() const { return m_result; }
    bool isFull() const { return m_result.charsCapped || m_result.urlsCapped; }

private:
    enum class Word { NotUrl, Fetchable, Ftp };

    Word kindOf(QStringView word) const;
    /** Takes the lines of text; cut says that the cap ran through its last one. */
    void take(QStringView text, bool cut);
    void addLine(QStringView line);
    void refuse(const QString &path, const QString &why);

    Ftp m_ftp;
    qsizetype m_charsLeft = maxChars;
    Result m_result;
};
