// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusContext>
#include <QDBusObjectPath>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>
#include <QStringList>

/**
 * Stands in for logind's Manager and writes down each call. Its slots run on the thread that
 * serves the fake bus name; the rest may be called from any thread.
 */
class FakeLoginManager final : public QObject, protected QDBusContext
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
};
