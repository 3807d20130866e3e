// SPDX-License-Identifier: MIT
#pragma once

#include "FakeLoginManager.h"
#include "FakeLoginSession.h"
#include "tests/support/Budget.h"

#include <QDBusConnection>
#include <QThread>

#include <chrono>

/**
 * A fake login1 on the session bus that dbus-run-session made for this test alone. It serves from
 * its own thread and connection, because the requests under test wait for some of its answers.
 */
class FakeLogind final
{
public:
    static inline const QString service = QStringLiteral("org.freedesktop.login1");

    FakeLogind()
    {
        m_thread.start();
        for (QObject *object : {static_cast<QObject *>(m_manager), static_cast<QObject *>(m_session)}) {
            object->moveToThread(&m_thread);
            QObject::connect(&m_thread, &QThread::finished, object, &QObject::deleteLater);
        }
        registered = m_bus.registerObject(QStringLiteral("/org/freedesktop/login1"), m_manager,
                                          QDBusConnection::ExportAllSlots)
            && m_bus.registerObject(FakeLoginManager::sessionPath, m_session, QDBusConnection::ExportAllProperties)
            && m_bus.registerService(service);
    }

    ~FakeLogind()
    {
        m_bus.unregisterService(service);
        QDBusConnection::disconnectFromBus(m_bus.name());
        m_thread.quit();
        m_thread.wait();
    }

    FakeLogind(const FakeLogind &) = delete;
    FakeLogind &operator=(const FakeLogind &) = delete;

    /** Waits until count calls have arrived, then answers all that did. */
    QStringList waitForCalls(qsizetype count) const
    {
        runWithinBudget([this, count] { return m_manager->calls().size() >= count; }, std::chrono::seconds(5));
        return m_manager->calls();
    }

    FakeLoginManager &manager() { return *m_manager; }

    bool registered = false;

private:
    QThread m_thread;
    QDBusConnection m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fakeLogind"));
    FakeLoginManager *m_manager = new FakeLoginManager;
    FakeLoginSession *m_session = new FakeLoginSession;
};
