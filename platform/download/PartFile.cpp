// SPDX-License-Identifier: MIT
#include "platform/download/PartFile.h"

#include "platform/download/FileNameLimit.h"
#include "platform/download/NameBeside.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// One write per MiB instead of one per received piece (16 KiB at most) is what makes a file
// transfer as fast as the curl tool's.
constexpr qsizetype bufferSize = 1 << 20;
constexpr int nameAttempts = 16;
// Browsers give up on numbered names near a hundred; a folder with a thousand copies of one
// name is past what anyone means to keep.
constexpr int namesBeside = 1000;

QString randomTag()
{
    static constexpr char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString tag;
    for (int i = 0; i < 6; ++i)
        tag += QLatin1Char(alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet) - 1)]);
    return tag;
}

bool nameIsTaken(const QString &name)
{
    // lstat, not exists(): a dangling link still holds its name.
    struct stat status
    {
    };
    return ::lstat(QFile::encodeName(name).constData(), &status) == 0;
}

/** Moves from to to unless to exists; 0, or the errno of the failure (EEXIST: it is taken). */
int renameNoReplace(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return errno;
    // A file system or kernel without the flag: a hard link is as exclusive, and the part goes.
    if (::link(source.constData(), target.constData()) != 0)
        return errno;
    ::unlink(source.constData());
    return 0;
}

// The part file's name must fit wherever the target's does: with the tag added, a name near the
// file-name limit of common file systems (255 bytes, some 80 Chinese characters in UTF-8) could
// not be created at all, so the part name's copy of the target name is shortened instead.
QString partPathFor(const QString &target, const QString &tag)
{
    constexpr qsizetype maxNameBytes = 255;
    const QString suffix = QStringLiteral(".quorvel-") + tag + QStringLiteral(".part");
    const qsizetype nameStart = target.lastIndexOf(u'/') + 1;
    QString name = target.sliced(nameStart);
    while (!name.isEmpty() && (name + suffix).toUtf8().size() > maxNameBytes)
        name.chop(name.size() > 1 && name.back().isLowSurrogate() ? 2 : 1);
    return target.first(nameStart) + name + suffix;
}
}

void PartFile::markInUse()
{
    // Advisory, and gone with the descriptor: a crashed writer leaves no lock behind.
    ::flock(m_file.handle(), LOCK_EX | LOCK_NB);
}

bool PartFile::isInUse(const QString &partName)
{
    const int fd = ::open(QFile::encodeName(partName).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return locked;
}

bool PartFile::isPartName(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral("\\.quorvel-[a-z0-9]{6}\\.part$"));
    return pattern.match(fileName).hasMatch();
}

PartFile::PartFile(QString target)
    : m_target(std::move(target))
{
}

PartFile::~PartFile()
{
    if (m_committed || m_kept || m_file.fileName().isEmpty())
        return;
    m_file.close();
    m_file.remove();
}

bool PartFile::open()
{
    for (int attempt = 0; attempt < nameAttempts; ++attempt) {
        m_file.setFileName(partPathFor(m_target, randomTag()));
        // NewOnly: never open a file someone else made, and keep the user's umask for the result.
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            m_buffer.reserve(bufferSize);
            markInUse();
            return true;
        }
        if (!m_file.exists())
            break;
    }
    const auto why = m_file.errorString();
    m_file.setFileName(QString());
    return fail(QStringLiteral("cannot create %1: %2").arg(m_target, why));
}

void PartFile::hashWith(QCryptographicHash::Algorithm algorithm)
{
    m_hash = std::make_unique<StreamDigest>(algorithm);
}

std::optional<QByteArray> PartFile::digest()
{
    if (!flush())
        return std::nullopt;
    return m_hash ? m_hash->result() : QByteArray();
}

bool PartFile::resume(const QString &partName)
{
    m_file.setFileName(partName);
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::ExistingOnly | QIODevice::Unbuffered)) {
        m_buffer.reserve(bufferSize);
        markInUse();
        if (!m_hash)
            return true;
        // Opened first, so that the bytes hashed are the bytes that stay, locked against a sweep.
        QFile kept(partName);
        if (kept.open(QIODevice::ReadOnly) && hashWhole(kept))
            return true;
        // Bytes that cannot be read cannot be vouched for: the file starts anew.
        const auto why = kept.errorString();
        m_file.close();
        m_file.remove();
        m_file.setFileName(QString());
        m_hash->reset();
        return fail(QStringLiteral("cannot read %1: %2").arg(partName, why));
    }
    const auto why = m_file.errorString();
    m_file.setFileName(QString());
    return fail(QStringLiteral("cannot reopen %1: %2").arg(partName, why));
}

bool PartFile::append(const char *data, std::size_t size)
{
    if (m_buffer.size() + qsizetype(size) > bufferSize && !flush())
        return false;
    m_buffer.append(data, qsizetype(size));
    return true;
}

bool PartFile::restart()
{
    m_buffer.resize(0);
    if (m_hash)
        m_hash->reset();
    // A file opened for appending writes at its end whatever the position; one opened anew at
    // its position: both are the start now.
    if (!m_file.resize(0) || !m_file.seek(0))
        return fail(QStringLiteral("cannot truncate %1: %2").arg(m_file.fileName(), m_file.errorString()));
    return true;
}

bool PartFile::flush()
{
    // A full disk first takes part of a write without an error; only the next write tells why
    // (no space left, file too large), so a short write is retried until it fails with a reason.
    qsizetype written = 0;
    while (written < m_buffer.size()) {
        const qint64 step = m_file.write(m_buffer.constData() + written, m_buffer.size() - written);
        if (step <= 0) {
            // What did reach the file must not be written twice by a later flush.
            if (m_hash)
                m_hash->add(QByteArray(m_buffer.constData(), written));
            m_buffer.remove(0, written);
            return fail(QStringLiteral("cannot write %1: %2").arg(m_target, m_file.errorString()));
        }
        written += qsizetype(step);
    }
    // Copied, not shared: resize keeps the allocation only of a buffer nobody else holds, and
    // clear() would free it and make every MiB allocate again.
    if (m_hash)
        m_hash->add(QByteArray(m_buffer.constData(), m_buffer.size()));
    m_buffer.resize(0);
    return true;
}

bool PartFile::hashWhole(QFile &file)
{
    while (!file.atEnd()) {
        QByteArray block = file.read(bufferSize);
        if (block.isEmpty())
            return false;
        m_hash->add(std::move(block));
    }
    return file.error() == QFileDevice::NoError;
}

QString PartFile::chooseName()
{
    const qsizetype limit = fileNameLimit(QFileInfo(m_target).path());
    m_nameNumber = 0;
    while (m_nameNumber + 1 < namesBeside && nameIsTaken(nameBeside(m_target, m_nameNumber, limit)))
        ++m_nameNumber;
    m_savedName = nameBeside(m_target, m_nameNumber, limit);
    return m_savedName;
}

bool PartFile::commit()
{
    if (!flush())
        return false;
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("cannot write %1: %2").arg(m_target, m_file.errorString()));
    const qsizetype limit = fileNameLimit(QFileInfo(m_target).path());
    for (int number = m_nameNumber; number < namesBeside; ++number) {
        const QString name = nameBeside(m_target, number, limit);
        const int error = renameNoReplace(m_file.fileName(), name);
        if (error == EEXIST)
            continue;
        if (error != 0)
            return fail(QStringLiteral("cannot rename to %1: %2").arg(name, qt_error_string(error)));
        m_savedName = name;
        m_committed = true;
        return true;
    }
    return fail(QStringLiteral("cannot rename to %1: %2").arg(m_target, qt_error_string(EEXIST)));
}

void PartFile::keep()
{
    if (m_file.fileName().isEmpty())
        return;
    // What does not fit on the disk now is fetched again by the next try.
    flush();
    m_file.close();
    m_kept = true;
}

bool PartFile::fail(const QString &what)
{
    m_error = what;
    return false;
}
