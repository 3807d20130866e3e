// SPDX-License-Identifier: MIT
#include "platform/download/PartFile.h"

#include <QRandomGenerator>

#include <filesystem>
#include <system_error>

namespace {
// One write per MiB instead of one per received piece (16 KiB at most) is what makes a file
// transfer as fast as the curl tool's.
constexpr qsizetype bufferSize = 1 << 20;
constexpr int nameAttempts = 16;

QString randomTag()
{
    static constexpr char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString tag;
    for (int i = 0; i < 6; ++i)
        tag += QLatin1Char(alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet) - 1)]);
    return tag;
}

std::filesystem::path nativePath(const QString &name)
{
    return std::filesystem::path(name.toStdU16String());
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
            return true;
        }
        if (!m_file.exists())
            break;
    }
    const auto why = m_file.errorString();
    m_file.setFileName(QString());
    return fail(QStringLiteral("cannot create %1: %2").arg(m_target, why));
}

bool PartFile::resume(const QString &partName)
{
    m_file.setFileName(partName);
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::ExistingOnly | QIODevice::Unbuffered)) {
        m_buffer.reserve(bufferSize);
        return true;
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
            m_buffer.remove(0, written);
            return fail(QStringLiteral("cannot write %1: %2").arg(m_target, m_file.errorString()));
        }
        written += qsizetype(step);
    }
    // resize keeps the allocation; clear() would free it and make every MiB allocate again.
    m_buffer.resize(0);
    return true;
}

bool PartFile::commit()
{
    if (!flush())
        return false;
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("cannot write %1: %2").arg(m_target, m_file.errorString()));
    // std::filesystem::rename replaces an existing target atomically; QFile::rename refuses to.
    std::error_code error;
    std::filesystem::rename(nativePath(m_file.fileName()), nativePath(m_target), error);
    if (error)
        return fail(QStringLiteral("cannot rename to %1: %2").arg(m_target, QString::fromStdString(error.message())));
    m_committed = true;
    return true;
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
