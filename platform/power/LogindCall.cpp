// SPDX-License-Identifier: MIT
#include "platform/power/LogindCall.h"

#include <QDBusError>
#include <QDBusPendingCallWatcher>
#include <QObject>

#include <utility>

void callLogind(QDBusConnection &connection, const QDBusMessage &call, QObject &context,
                std::function<void(const QDBusMessage &)> onReply)
{
    // Qt's pending call on a connection that never came up finishes without a word to a watcher.
    if (!connection.isConnected()) {
        const QDBusMessage noBus = call.createErrorReply(
            QDBusError(QDBusError::Disconnected, connection.lastError().message()));
        QMetaObject::invokeMethod(
            &context, [noBus, onReply = std::move(onReply)] { onReply(noBus); }, Qt::QueuedConnection);
        return;
    }
    auto *watcher = new QDBusPendingCallWatcher(connection.asyncCall(call), &context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, onReply = std::move(onReply)] {
        // The reply may hold a descriptor: this copy of it must not outlive the answer.
        watcher->deleteLater();
        onReply(watcher->reply());
    });
}
