// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>
#include <mutex>
#include <optional>

/**
 * The part files that failed or cancelled transfers left for a later try, by target name, with
 * what a range request for the rest needs. Whatever is still here when the store goes is removed
 * from the disk, so that nothing of a run outlives it, unless the parts are kept for a later run
 * that knows them (keepAtExit()).
 *
 * Thread contract: any thread; every method locks.
 */
class KeptParts final
{
public:
    struct Part
    {
        QString partName;
        /** The If-Range value the response that began the file gave. */
        QByteArray validator;
        /** The file's whole length as that response announced it. */
        std::uint64_t total = 0;
    };

    KeptParts() = default;
    ~KeptParts();
    KeptParts(const KeptParts &) = delete;
    KeptParts &operator=(const KeptParts &) = delete;

    /** Keeps part for target, removing a part kept for it before. */
    void put(const QString &target, Part part);
    /** The part kept for target, which the caller now owns (a later put() keeps it again). */
    std::optional<Part> take(const QString &target);
    /** Removes the part kept for target from the store and the disk. */
    void discard(const QString &target);
    /** Whether the parts still here when the store goes stay on the disk. */
    void keepAtExit(bool keep);
    /** Whether partName is the part kept for some target. */
    bool holds(const QString &partName);

private:
    std::mutex m_mutex;
    QHash<QString, Part> m_parts;
    bool m_keepAtExit = false;
};
