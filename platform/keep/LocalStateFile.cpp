// SPDX-License-Identifier: MIT
#include "platform/keep/LocalStateFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {
QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The rename is only on the disk once the folder's entry is.
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}
} // namespace

LocalStateFile::LocalStateFile(QString path)
    : m_path(std::move(path))
{
}

LocalStateFile::~LocalStateFile() = default;

QString LocalStateFile::standardPath()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    // XDG: a relative base folder is invalid and stands for none.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/quorvel/queue.txt");
}

bool LocalStateFile::claim(QString &why)
{
    if (m_lock)
        return true;
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder)) {
        why = QStringLiteral("不能建立文件夹 %1").arg(folder);
        return false;
    }
    auto lock = std::make_unique<QLockFile>(m_path + QStringLiteral(".lock"));
    // Only a lock whose process is gone is taken over, however old: a night's run holds it for hours.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        qint64 pid = 0;
        QString host;
        QString application;
        if (lock->error() == QLockFile::LockFailedError && lock->getLockInfo(&pid, &host, &application))
            why = QStringLiteral("另一个 Quorvel (进程 %1) 正在使用它").arg(pid);
        else
            why = QStringLiteral("不能建立锁文件 %1.lock").arg(m_path);
        return false;
    }
    m_lock = std::move(lock);
    return true;
}

std::optional<QByteArray> LocalStateFile::read(QString &why)
{
    why.clear();
    QFile file(m_path);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
        return std::nullopt;
    }
    QByteArray content = file.read(maxBytes + 1);
    if (content.size() > maxBytes) {
        why = QStringLiteral("大于 512 MiB");
        return std::nullopt;
    }
    return content;
}

bool LocalStateFile::replace(const QByteArray &content, QString &why)
{
    QSaveFile file(m_path);
    // QSaveFile flushes the new file to the disk before it renames it over the old one.
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        why = file.errorString();
        file.cancelWriting();
        return false;
    }
    syncFolder(QFileInfo(m_path).absolutePath());
    return true;
}

QString LocalStateFile::moveAside(QString &why)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = QStringLiteral("%1.unreadable-%2").arg(m_path, stamp);
    for (int n = 1; QFileInfo::exists(aside); ++n)
        aside = QStringLiteral("%1.unreadable-%2-%3").arg(m_path, stamp).arg(n);
    if (!QFile::rename(m_path, aside)) {
        why = systemError();
        return QString();
    }
    return aside;
}

bool LocalStateFile::remove(QString &why)
{
    QFile file(m_path);
    if (!file.exists() || file.remove())
        return true;
    why = file.errorString();
    return false;
}
