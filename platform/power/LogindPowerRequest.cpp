// SPDX-License-Identifier: MIT
#include "platform/power/LogindPowerRequest.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusVariant>

#include <utility>

namespace {
const QString loginService = QStringLiteral("org.freedesktop.login1");
const QString managerPath = QStringLiteral("/org/freedesktop/login1");
const QString managerInterface = QStringLiteral("org.freedesktop.login1.Manager");
}

LogindPowerRequest::LogindPowerRequest(QDBusConnection connection)
    : m_connection(std::move(connection))
{
}

bool LogindPowerRequest::isAvailable() const
{
    const QDBusConnectionInterface *bus = m_connection.interface();
    return m_connection.isConnected() && bus && bus->isServiceRegistered(loginService).value();
}

// logind's "interactive" lets polkit stop and ask for a password; a forced request is meant for
// a desk nobody sits at, where that question would hold the machine on forever.
void LogindPowerRequest::powerOff(bool force)
{
    callManager(QStringLiteral("PowerOff"), !force);
}

void LogindPowerRequest::reboot(bool force)
{
    callManager(QStringLiteral("Reboot"), !force);
}

// logind only knows the hard way to end a session; a polite log off belongs to the desktop
// environment's own session manager, which differs from desktop to desktop.
void LogindPowerRequest::logOff([[maybe_unused]] bool force)
{
    const QString id = sessionId();
    if (!id.isEmpty())
        callManager(QStringLiteral("TerminateSession"), id);
}

void LogindPowerRequest::callManager(const QString &method, const QVariant &argument)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(loginService, managerPath, managerInterface, method);
    call << argument;
    // The system acts on its own time and a refusal changes nothing here, so nobody waits.
    m_connection.asyncCall(call);
}

QString LogindPowerRequest::sessionId() const
{
    const QString fromEnvironment = qEnvironmentVariable("XDG_SESSION_ID");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    QDBusMessage bySession = QDBusMessage::createMethodCall(
        loginService, managerPath, managerInterface, QStringLiteral("GetSessionByPID"));
    bySession << static_cast<uint>(QCoreApplication::applicationPid());
    const QString path = qdbus_cast<QDBusObjectPath>(firstReplyValue(bySession)).path();
    if (path.isEmpty())
        return {};
    QDBusMessage idOf = QDBusMessage::createMethodCall(
        loginService, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    idOf << QStringLiteral("org.freedesktop.login1.Session") << QStringLiteral("Id");
    return qdbus_cast<QDBusVariant>(firstReplyValue(idOf)).variant().toString();
}

QVariant LogindPowerRequest::firstReplyValue(const QDBusMessage &call) const
{
    const QDBusMessage reply = m_connection.call(call);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst();
}
