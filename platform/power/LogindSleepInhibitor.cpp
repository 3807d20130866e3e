// SPDX-License-Identifier: MIT
#include "platform/power/LogindSleepInhibitor.h"

#include "platform/power/LogindAnswers.h"
#include "platform/power/LogindCall.h"

#include <QDBusError>
#include <QDBusMessage>

#include <utility>

LogindSleepInhibitor::LogindSleepInhibitor(QDBusConnection connection)
    : m_connection(std::move(connection))
{
}

void LogindSleepInhibitor::hold(const QString &why, Refusal refused)
{
    m_wanted = true;
    const quint64 hold = ++m_hold;
    QDBusMessage inhibit = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    inhibit << QStringLiteral("sleep:idle") << QStringLiteral("Quorvel") << why << QStringLiteral("block");
    callLogind(m_connection, inhibit, m_calls, [this, hold, refused = std::move(refused)](const QDBusMessage &reply) {
        // A lock that comes after its release, or after a newer hold, goes with the reply.
        if (hold != m_hold || !m_wanted)
            return;
        const auto lock = qvariant_cast<QDBusUnixFileDescriptor>(reply.arguments().value(0));
        if (reply.type() == QDBusMessage::ErrorMessage)
            refused(LogindAnswers::refusal(QDBusError(reply)));
        else if (!lock.isValid())
            refused(QStringLiteral("logind 没有给出锁"));
        else
            m_lock = lock;
    });
}

void LogindSleepInhibitor::release()
{
    m_wanted = false;
    // Closes the descriptor, which is what gives the lock back.
    m_lock = QDBusUnixFileDescriptor();
}
