// SPDX-License-Identifier: MIT
#include "platform/instance/InstanceName.h"

#include "platform/instance/LinksAdaptor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

#include <atomic>

namespace {

// A window busy with a long list may take a while to answer; a hung one must not hold the start.
constexpr int handOverTimeoutMs = 20000;

QString nextConnectionName()
{
    static std::atomic<int> count{0};
    return QStringLiteral("quorvelInstance%1").arg(++count);
}

} // namespace

InstanceName::InstanceName(const QString &busAddress, QObject *parent)
    : QObject(parent)
    , m_connectionName(nextConnectionName())
{
    // A connection of its own: whatever else uses the session bus, the name goes with this object.
    if (busAddress.isEmpty())
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
    else
        QDBusConnection::connectToBus(busAddress, m_connectionName);
}

InstanceName::~InstanceName()
{
    QDBusConnection bus(m_connectionName);
    if (m_owner) {
        bus.unregisterService(QString::fromLatin1(serviceName));
        bus.unregisterObject(QString::fromLatin1(objectPath));
    }
    QDBusConnection::disconnectFromBus(m_connectionName);
}

bool InstanceName::isConnected() const
{
    return QDBusConnection(m_connectionName).isConnected();
}

QString InstanceName::busError() const
{
    if (isConnected())
        return QString();
    const QString reason = QDBusConnection(m_connectionName).lastError().message();
    return reason.isEmpty() ? QStringLiteral("连接不上会话总线 (D-Bus)") : reason;
}

bool InstanceName::claim(Receiver receiver)
{
    QDBusConnection bus(m_connectionName);
    if (!bus.isConnected())
        return false;
    // The object before the name: a call that finds the name must also find the object.
    auto adaptor = std::make_unique<LinksAdaptor>(std::move(receiver));
    if (!bus.registerObject(QString::fromLatin1(objectPath), adaptor.get(), QDBusConnection::ExportScriptableSlots))
        return false;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = bus.interface()->registerService(
        QString::fromLatin1(serviceName), QDBusConnectionInterface::DontQueueService,
        QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        bus.unregisterObject(QString::fromLatin1(objectPath));
        return false;
    }
    m_adaptor = std::move(adaptor);
    m_owner = true;
    return true;
}

InstanceName::HandOver InstanceName::handOver(const QStringList &urlsOrListFiles) const
{
    HandOver result;
    QDBusConnection bus(m_connectionName);
    if (!bus.isConnected()) {
        result.error = busError();
        return result;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(serviceName),
                                                       QString::fromLatin1(objectPath),
                                                       QString::fromLatin1(serviceName), QStringLiteral("AddLinks"));
    call << urlsOrListFiles;
    const QDBusReply<int> reply = bus.call(call, QDBus::Block, handOverTimeoutMs);
    if (!reply.isValid()) {
        result.error = reply.error().message();
        return result;
    }
    result.delivered = true;
    result.added = reply.value();
    return result;
}
