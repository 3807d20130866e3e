// SPDX-License-Identifier: MIT
#pragma once

#include "queue/CommandRecord.h"
#include "queue/DownloadEntry.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

/**
 * The command a user names to run after each file arrives, as aria2's --on-download-complete
 * runs it: split into a program and its arguments at blanks, double quotes grouping words, with
 * no shell (no variables, globs or pipes: a file's name can never become code), and given the
 * entry's id, the number of files ("1") and the file's full path after them. Also the words the
 * history keeps of how a run ended. Pure functions; any thread.
 */
class CompletionCommand final
{
public:
    /** What of a command's output the history keeps; the rest is read and dropped. */
    static constexpr qsizetype maxOutputBytes = 64 * 1024;

    struct Invocation
    {
        QString program;
        QStringList arguments;
    };

    /** nullopt for a command that names no program (blank, or only empty quotes). */
    static std::optional<Invocation> invocation(const QString &command, DownloadEntry::Id id, const QString &path);

    static CommandRecord exited(int exitCode, const QByteArray &output, bool cut);
    static CommandRecord crashed(const QByteArray &output, bool cut);
    static CommandRecord timedOut(std::chrono::milliseconds limit, const QByteArray &output, bool cut);
    static CommandRecord notStarted(const QString &why);
    static CommandRecord notRun(const QString &why);
};
