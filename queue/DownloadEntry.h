// SPDX-License-Identifier: MIT
#pragma once

#include "common/FailureCause.h"
#include "common/PartialFile.h"
#include "queue/CommandRecord.h"

#include <QDateTime>
#include <QMap>
#include <QString>

#include <optional>

/**
 * One entry of the queue: a page URL as it was given, the id that tells it apart from every other
 * entry (of this run or a kept one), and what became of it. A plain value; any thread.
 */
struct DownloadEntry
{
    /** Random, so that entries kept from different runs do not share one; never 0. */
    using Id = quint64;

    enum class State {
        Waiting,
        /** Its page is walked or its file fetched. */
        Active,
        /** Held by the user: it keeps its place in the queue, and the run passes it by until resumed. */
        Paused,
        Done,
        /** Given up (for now): lastFailure says why; a start tries it again. */
        Failed,
        /** Its page said the file is missing. */
        Dropped,
        /** The user deleted it or cleared the list. */
        Removed,
    };

    /** The id as it is written down: 16 lowercase hex digits. */
    static QString idText(Id id) { return QStringLiteral("%1").arg(id, 16, 16, QLatin1Char('0')); }

    Id id = 0;
    QString url;
    State state = State::Waiting;
    /** Why it failed last: whether that may pass, and the words shown for it. */
    std::optional<FailureCause> lastFailure;
    /** The file it is saved as, its size and how much of it arrived; empty or -1 until known. */
    QString fileName;
    qint64 sizeBytes = -1;
    qint64 receivedBytes = 0;
    QDateTime added;
    QDateTime finished;
    /** Per-entry settings by name, as a list file writes them beside the URL. */
    QMap<QString, QString> options;
    /** What an interrupted transfer left of its file for the next try to continue. */
    std::optional<PartialFile> part;
    /** For a done entry, what the command run after its file arrived made of it; none ran. */
    std::optional<CommandRecord> command;

    /** Whether it has left the queue for good: done, dropped or removed. */
    bool isFinished() const { return state == State::Done || state == State::Dropped || state == State::Removed; }
};
