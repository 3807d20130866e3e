// SPDX-License-Identifier: MIT
#pragma once

#include "queue/DownloadEntry.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

/**
 * Entries as text in the layout of aria2's input files, the one users of download managers
 * know: a URL a line, and under it, indented, its options as key=value lines. Quorvel's own
 * record of an entry (its id as aria2's gid, its state, the last failure, its file and the part
 * a later try continues) is written as options of its own, prefixed "quorvel-"; any other option
 * is kept as it is. Blank lines and lines starting with "#" say nothing. Thread-agnostic.
 */
class EntryListText final
{
public:
    struct Reading
    {
        QList<DownloadEntry> entries;
        /** Lines that were neither an entry, an option of one, a comment nor blank. */
        int skippedLines = 0;
    };

    /**
     * Whether lines use the layout at all: some entry line is followed by an indented option.
     * Without one, a list is one entry a line, exactly as written, blank lines included.
     */
    static bool hasOptions(const QStringList &lines);
    /**
     * The entries of lines in the layout. Strict, a line is an entry only when it names a URL
     * (it has "://"), and a value Quorvel cannot read skips its line; else any line is one, as
     * given.
     */
    static Reading read(const QStringList &lines, bool strict);
    /** The same, of text whose lines end in LF. */
    static Reading read(QStringView text, bool strict);
    /** Appends entry's lines, in UTF-8, each ended by LF. */
    static void write(const DownloadEntry &entry, QByteArray &out);
};
