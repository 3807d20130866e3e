// SPDX-License-Identifier: MIT
#pragma once

#include "power/PowerRequest.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QVariant>

/**
 * Power requests to systemd-logind (org.freedesktop.login1) over D-Bus. The program hands it the
 * system bus; tests hand it a private bus that carries a fake login1. UI thread only: finding the
 * session to log off waits for logind's answer; every other call waits for nothing but the bus
 * daemon's short answer to whether logind is there, and answers come from the event loop.
 */
class LogindPowerRequest final : public PowerRequest
{
public:
    explicit LogindPowerRequest(QDBusConnection connection);

    bool isAvailable() const override;
    void checkPowerOff(Answer answer) override;
    void powerOff(bool force, Answer answer) override;
    void reboot(bool force, Answer answer) override;
    void logOff(bool force, Answer answer) override;

private:
    void callManager(const QString &method, const QVariant &argument, Answer answer);
    QString sessionId() const;
    QVariant firstReplyValue(const QDBusMessage &call) const;

    QDBusConnection m_connection;
    /** Owns the calls on their way: an answer never comes after the request is gone. */
    QObject m_calls;
};
