// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

/**
 * A part file kept for a later try at its target: where its bytes are, and what a range request
 * for the rest must name so that only the same version of the file continues it. The bytes it
 * holds are its length on disk. A plain value; any thread.
 */
struct PartialFile
{
    /** The file the part becomes once it is whole. */
    QString target;
    QString partName;
    /** The If-Range value of the response that began the file. */
    QByteArray validator;
    /** The file's whole length as that response announced it. */
    std::uint64_t total = 0;

    friend bool operator==(const PartialFile &, const PartialFile &) = default;
};
