// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>

#include <functional>

class QObject;

/**
 * Sends call on connection without waiting and hands onReply the reply, or an error reply that
 * stands for it when there is no bus to send it on. onReply runs from the event loop, once, and
 * never after context is gone. UI thread only.
 */
void callLogind(QDBusConnection &connection, const QDBusMessage &call, QObject &context,
                std::function<void(const QDBusMessage &reply)> onReply);
