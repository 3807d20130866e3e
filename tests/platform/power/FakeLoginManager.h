// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusContext>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>
#include <QStringList>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

/**
 * Stands in for logind's Manager and writes down each call. Inhibit hands out the write end of a
 * pipe and keeps the read end, as logind does, so it sees the lock go when the last copy of that
 * end is closed. Its slots run on the thread that serves the fake bus name; the rest may be called
 * from any thread.
 */
class FakeLoginManager final : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    static inline const QString sessionPath = QStringLiteral("/org/freedesktop/login1/session/_31");

    ~FakeLoginManager() override
    {
        for (const int end : std::as_const(m_lockEnds))
            ::close(end);
    }

    QStringList calls() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_calls;
    }

    /** What CanPowerOff answers: "yes", "no", "challenge" or "na". */
    void setCanPowerOff(const QString &answer)
    {
        const QMutexLocker lock(&m_mutex);
        m_canPowerOff = answer;
    }

    /** PowerOff answers with this D-Bus error from now on. */
    void refusePowerOff(const QString &errorName, const QString &message)
    {
        const QMutexLocker lock(&m_mutex);
        m_powerOffError = {errorName, message};
    }

    /** How many of the locks handed out are still held: some copy of their descriptor is open. */
    int locksHeld() const
    {
        const QMutexLocker lock(&m_mutex);
        int held = 0;
        for (const int end : m_lockEnds) {
            pollfd readEnd{end, POLLIN, 0};
            held += ::poll(&readEnd, 1, 0) == 0 ? 1 : 0;
        }
        return held;
    }

public slots:
    void PowerOff(bool interactive)
    {
        record(QStringLiteral("PowerOff"), interactive);
        const QMutexLocker lock(&m_mutex);
        if (!m_powerOffError.first.isEmpty())
            sendErrorReply(m_powerOffError.first, m_powerOffError.second);
    }
    void Reboot(bool interactive) { record(QStringLiteral("Reboot"), interactive); }
    void TerminateSession(const QString &id) { record(QStringLiteral("TerminateSession"), id); }
    QDBusObjectPath GetSessionByPID(uint pid)
    {
        record(QStringLiteral("GetSessionByPID"), QString::number(pid));
        return QDBusObjectPath(sessionPath);
    }
    QString CanPowerOff()
    {
        record(QStringLiteral("CanPowerOff"), QString());
        const QMutexLocker lock(&m_mutex);
        return m_canPowerOff;
    }
    QDBusUnixFileDescriptor Inhibit(const QString &what, const QString &who, const QString &why, const QString &mode)
    {
        record(QStringLiteral("Inhibit"), QStringList{what, who, why, mode}.join(u','));
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return {};
        QDBusUnixFileDescriptor lockEnd(ends[1]); // a copy of its own
        ::close(ends[1]);
        const QMutexLocker lock(&m_mutex);
        m_lockEnds << ends[0];
        return lockEnd;
    }

private:
    void record(const QString &method, bool interactive)
    {
        record(method, interactive ? QStringLiteral("true") : QStringLiteral("false"));
    }
    void record(const QString &method, const QString &argument)
    {
        const QMutexLocker lock(&m_mutex);
        m_calls << method + u'(' + argument + u')';
    }

    mutable QMutex m_mutex;
    QStringList m_calls;
    QString m_canPowerOff = QStringLiteral("yes");
    std::pair<QString, QString> m_powerOffError;
    QList<int> m_lockEnds;
};
