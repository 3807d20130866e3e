// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusObjectPath>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>
#include <QStringList>

/**
 * Stands in for logind's Manager and writes down each call. Its slots run on the thread that
 * serves the fake bus name; calls() may be read from any thread.
 */
class FakeLoginManager final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    static inline const QString sessionPath = QStringLiteral("/org/freedesktop/login1/session/_31");

    QStringList calls() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_calls;
    }

public slots:
    void PowerOff(bool interactive) { record(QStringLiteral("PowerOff"), interactive); }
    void Reboot(bool interactive) { record(QStringLiteral("Reboot"), interactive); }
    void TerminateSession(const QString &id) { record(QStringLiteral("TerminateSession"), id); }
    QDBusObjectPath GetSessionByPID(uint pid)
    {
        record(QStringLiteral("GetSessionByPID"), QString::number(pid));
        return QDBusObjectPath(sessionPath);
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
};
