// SPDX-License-Identifier: MIT
#include "platform/power/LogindPowerRequest.h"

#include "platform/power/LogindAnswers.h"
#include "platform/power/LogindCall.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusVariant>

#include <utility>

namespace {
const QString loginService = QStringLiteral("org.freedesktop.login1");
const QString managerPath = QStringLiteral("/org/freedesktop/login1");
const QString managerInterface = QStringLiteral("org.freedesktop.login1.Manager");
// The bus daemon answers at once unless it is stuck; the UI must not be stuck with it.
constexpr int busDaemonTimeoutMs = 1000;

void tell(const PowerRequest::Answer &answer, const QString &whyNot)
{
    if (answer)
        answer(whyNot);
}
} // namespace

LogindPowerRequest::LogindPowerRequest(QDBusConnection connection)
    : m_connection(std::move(connection))
{
}

bool LogindPowerRequest::isAvailable() const
{
    if (!m_connection.isConnected())
        return false;
    QDBusMessage hasOwner = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    hasOwner << loginService;
    const QDBusMessage reply = m_connection.call(hasOwner, QDBus::Block, busDaemonTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool();
}

void LogindPowerRequest::checkPowerOff(Answer answer)
{
    const QDBusMessage call = QDBusMessage::createMethodCall(loginService, managerPath, managerInterface,
                                                             QStringLiteral("CanPowerOff"));
    callLogind(m_connection, call, m_calls, [answer = std::move(answer)](const QDBusMessage &reply) {
        tell(answer,
             reply.type() == QDBusMessage::ErrorMessage
                 ? LogindAnswers::refusal(QDBusError(reply))
                 : LogindAnswers::powerOffAbility(reply.arguments().value(0).toString()));
    });
}

// logind's "interactive" lets polkit stop and ask for a password; a forced request is meant for
// a desk nobody sits at, where that question would hold the machine on forever.
void LogindPowerRequest::powerOff(bool force, Answer answer)
{
    callManager(QStringLiteral("PowerOff"), !force, std::move(answer));
}

void LogindPowerRequest::reboot(bool force, Answer answer)
{
    callManager(QStringLiteral("Reboot"), !force, std::move(answer));
}

// logind only knows the hard way to end a session; a polite log off belongs to the desktop
// environment's own session manager, which differs from desktop to desktop.
void LogindPowerRequest::logOff([[maybe_unused]] bool force, Answer answer)
{
    const QString id = sessionId();
    if (id.isEmpty())
        tell(answer, QStringLiteral("logind 找不到这个程序所在的会话"));
    else
        callManager(QStringLiteral("TerminateSession"), id, std::move(answer));
}

void LogindPowerRequest::callManager(const QString &method, const QVariant &argument, Answer answer)
{
    QDBusMessage call = QDBusMessage::createMethodCall(loginService, managerPath, managerInterface, method);
    call << argument;
    // The system acts on its own time; only a refusal has anything to say.
    callLogind(m_connection, call, m_calls, [answer = std::move(answer)](const QDBusMessage &reply) {
        tell(answer,
             reply.type() == QDBusMessage::ErrorMessage ? LogindAnswers::refusal(QDBusError(reply)) : QString());
    });
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
