// SPDX-License-Identifier: MIT
#pragma once

#include "common/UserNotifier.h"

#include <QDBusConnection>

/**
 * Desktop notifications through the freedesktop notification service
 * (org.freedesktop.Notifications) on the session bus. The program hands it the session bus;
 * tests hand it a private bus that carries a fake service. UI thread only.
 */
class FreedesktopNotifier final : public UserNotifier
{
public:
    explicit FreedesktopNotifier(QDBusConnection connection);

    /** Whether a notification service runs on the bus, or would be started by a call to it. */
    bool isAvailable() const;
    void notify(const QString &title, const QString &body) override;

private:
    QDBusConnection m_connection;
};
