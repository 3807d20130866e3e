// SPDX-License-Identifier: MIT
#pragma once

#include "platform/download/StreamDigest.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

/**
 * What a transfer writes while it runs: a file with a unique name beside the target, written
 * through a large buffer, that takes the target's name only at commit(). Nothing that has a name
 * is ever replaced: when the target's name is taken (by an earlier download, a file the user
 * had, one that appeared meanwhile) the file takes the first free name beside it, `data (1).bin`.
 * Uncommitted, the part file is removed when the object goes away, unless keep() saved it for a
 * later try, which reopens it with resume(). Every error text ends with the system's own reason.
 * Asked to, it hashes the file's bytes as they are written, those a resumed file already had
 * first, so that the digest of a whole file costs no second reading of it.
 *
 * Thread contract: used by one thread at a time.
 */
class PartFile final
{
public:
    explicit PartFile(QString target);
    ~PartFile();
    PartFile(const PartFile &) = delete;
    PartFile &operator=(const PartFile &) = delete;

    /** Hashes the file's bytes with algorithm; before open() or resume(). */
    void hashWith(QCryptographicHash::Algorithm algorithm);
    /**
     * The digest of every byte written so far, once they are in the file; empty when nothing is
     * hashed, nullopt (see errorString()) when they cannot be written.
     */
    std::optional<QByteArray> digest();
    /** Creates the part file; false (see errorString()) when the folder cannot take it. */
    bool open();
    /** Opens a part file kept by an earlier try, to append to it; false when it is gone. */
    bool resume(const QString &partName);
    bool append(const char *data, std::size_t size);
    /** Throws away what was written so far: the next byte appended is the file's first. */
    bool restart();
    /**
     * The name commit() will take unless it is taken meanwhile: the target, or the first name
     * beside it that nothing in the folder has now.
     */
    QString chooseName();
    /**
     * Writes what is buffered, closes the file and moves it to the chosen name, or to the next
     * free one when that was taken meanwhile, never replacing anything; see savedName().
     */
    bool commit();
    /** The name chosen, or after commit() the name taken; empty before either. */
    QString savedName() const { return m_savedName; }
    /** Writes what is buffered and closes the file, which now outlives this object. */
    void keep();
    /** The bytes written so far, buffered ones included. */
    std::uint64_t size() const { return std::uint64_t(m_file.size() + m_buffer.size()); }
    /** The path of the part file, empty before open(). */
    QString partName() const { return m_file.fileName(); }
    QString errorString() const { return m_error; }
    /** The file the part becomes. */
    const QString &target() const { return m_target; }

    /** Whether fileName (a path or a bare name) is named as this class names its part files. */
    static bool isPartName(const QString &fileName);
    /** Whether a part file is open for writing now, by this process or another one. */
    static bool isInUse(const QString &partName);

private:
    /** Tells a sweep of stray part files, in this process or another, to leave this one alone. */
    void markInUse();
    bool flush();
    /** Hands every byte of file to the digest; false when it cannot be read. */
    bool hashWhole(QFile &file);
    bool fail(const QString &what);

    QString m_target;
    /** Which name beside the target (0: the target itself) commit() tries first. */
    int m_nameNumber = 0;
    QString m_savedName;
    QFile m_file;
    QByteArray m_buffer;
    std::unique_ptr<StreamDigest> m_hash;
    bool m_committed = false;
    bool m_kept = false;
    QString m_error;
};
