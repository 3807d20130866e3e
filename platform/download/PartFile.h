// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstddef>

/**
 * What a transfer writes while it runs: a new file with a unique name beside the target,
 * written through a large buffer, that takes the target's name (replacing a file there) only
 * at commit(). Until then a file with the target's name is never touched, and the part file is
 * removed when the object goes away uncommitted.
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

    /** Creates the part file; false (see errorString()) when the folder cannot take it. */
    bool open();
    bool append(const char *data, std::size_t size);
    /** Writes what is buffered, closes the file and moves it to the target name. */
    bool commit();
    /** The path of the part file, empty before open(). */
    QString partName() const { return m_file.fileName(); }
    QString errorString() const { return m_error; }

private:
    bool flush();
    bool fail(const QString &what);

    QString m_target;
    QFile m_file;
    QByteArray m_buffer;
    bool m_committed = false;
    QString m_error;
};
