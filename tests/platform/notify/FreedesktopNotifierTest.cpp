// SPDX-License-Identifier: MIT
#include "FakeNotificationServer.h"
#include "platform/notify/FreedesktopNotifier.h"
#include "tests/support/Budget.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

const QString notificationService = u"org.freedesktop.Notifications"_s;

/** A fake notification server on the session bus that dbus-run-session made for this test alone. */
class FakeNotifications final
{
public:
    FakeNotifications()
    {
        registered = m_bus.registerObject(u"/org/freedesktop/Notifications"_s, &server,
                                          QDBusConnection::ExportAllSlots)
                     && m_bus.registerService(notificationService);
    }
    ~FakeNotifications()
    {
        m_bus.unregisterService(notificationService);
        m_bus.unregisterObject(u"/org/freedesktop/Notifications"_s);
        QDBusConnection::disconnectFromBus(m_bus.name());
    }

    FakeNotificationServer server;
    bool registered = false;

private:
    QDBusConnection m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"fakeNotifications"_s);
};

} // namespace

TEST(FreedesktopNotifierTest, IsAvailableOnlyWhileANotificationServiceRuns)
{
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    FreedesktopNotifier notifier(QDBusConnection::sessionBus());
    EXPECT_FALSE(notifier.isAvailable());
    {
        FakeNotifications service;
        ASSERT_TRUE(service.registered);
        EXPECT_TRUE(notifier.isAvailable());
    }
    EXPECT_FALSE(notifier.isAvailable());
}

TEST(FreedesktopNotifierTest, ShowsTheTextUnderTheProgramsNameAndIcon)
{
    FakeNotifications service;
    ASSERT_TRUE(service.registered);
    FreedesktopNotifier notifier(QDBusConnection::sessionBus());
    notifier.notify(u"下载结束"_s, u"3 个文件已下载"_s);
    ASSERT_TRUE(runWithinBudget([&] { return !service.server.received.isEmpty(); }, 5s));

    const FakeNotificationServer::Notification &shown = service.server.received.constFirst();
    EXPECT_EQ(shown.appName, u"Quorvel"_s);
    EXPECT_EQ(shown.appIcon, u"quorvel"_s);
    EXPECT_EQ(shown.summary, u"下载结束"_s);
    EXPECT_EQ(shown.body, u"3 个文件已下载"_s);
    EXPECT_EQ(shown.replacesId, 0u);
    EXPECT_TRUE(shown.actions.isEmpty());
    EXPECT_EQ(shown.hints.value(u"desktop-entry"_s).toString(), u"org.quorvel.Quorvel"_s);
    EXPECT_EQ(shown.expireTimeout, -1);
}

TEST(FreedesktopNotifierTest, WithoutABusNothingIsSentAndNothingWaits)
{
    FreedesktopNotifier notifier(QDBusConnection(u"neverConnected"_s));
    EXPECT_FALSE(notifier.isAvailable());
    notifier.notify(u"下载结束"_s, QString());
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
