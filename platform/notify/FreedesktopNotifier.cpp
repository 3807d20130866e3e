// SPDX-License-Identifier: MIT
#include "platform/notify/FreedesktopNotifier.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

#include <utility>

namespace {
const QString notificationService = QStringLiteral("org.freedesktop.Notifications");
}

FreedesktopNotifier::FreedesktopNotifier(QDBusConnection connection)
    : m_connection(std::move(connection))
{
}

bool FreedesktopNotifier::isAvailable() const
{
    const QDBusConnectionInterface *bus = m_connection.interface();
    if (!m_connection.isConnected() || !bus)
        return false;
    return bus->isServiceRegistered(notificationService).value()
           || bus->activatableServiceNames().value().contains(notificationService);
}

void FreedesktopNotifier::notify(const QString &title, const QString &body)
{
    if (!isAvailable())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(notificationService, QStringLiteral("/org/freedesktop/Notifications"),
                                                       notificationService, QStringLiteral("Notify"));
    // The desktop entry lets the desktop show the notification under the program's own name and
    // icon, and group it with the window.
    const QVariantMap hints = {{QStringLiteral("desktop-entry"), QStringLiteral("org.quorvel.Quorvel")}};
    call << QStringLiteral("Quorvel") << uint(0) << QStringLiteral("quorvel") << title << body << QStringList()
         << hints << int(-1);
    // Nothing here depends on the answer, and a desktop that is slow to answer must not hold the window.
    m_connection.asyncCall(call);
}
