// SPDX-License-Identifier: MIT
#pragma once

#include "power/PowerRequest.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariant>

/**
 * Power requests to systemd-logind (org.freedesktop.login1) over D-Bus. The program hands it the
 * system bus; tests hand it a private bus that carries a fake login1. UI thread only: finding the
 * session to log off waits for logind's answer.
 */
class LogindPowerRequest final : public PowerRequest
{
public:
    explicit LogindPowerRequest(QDBusConnection connection);

    bool isAvailable() const override;
    void powerOff(bool force) override;
    void reboot(bool force) override;
    void logOff(bool force) override;

private:
    void callManager(const QString &method, const QVariant &argument);
    QString sessionId() const;
    QVariant firstReplyValue(const QDBusMessage &call) const;

    QDBusConnection m_connection;
};
