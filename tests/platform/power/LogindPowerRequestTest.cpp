// SPDX-License-Identifier: MIT
#include "FakeLoginManager.h"
#include "FakeLoginSession.h"
#include "platform/power/LogindPowerRequest.h"
#include "power/ExitWindowsByMode.h"
#include "tests/support/Budget.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QThread>

#include <gtest/gtest.h>

#include <ostream>

using namespace std::chrono_literals;

namespace {

const QString loginService = QStringLiteral("org.freedesktop.login1");

/**
 * A fake login1 on the session bus that dbus-run-session made for this test alone. It serves from
 * its own thread and connection, because the request under test waits for some of its answers.
 */
class FakeLogind final
{
public:
    FakeLogind()
    {
        m_thread.start();
        for (QObject *object : {static_cast<QObject *>(m_manager), static_cast<QObject *>(m_session)}) {
            object->moveToThread(&m_thread);
            QObject::connect(&m_thread, &QThread::finished, object, &QObject::deleteLater);
        }
        registered = m_bus.registerObject(QStringLiteral("/org/freedesktop/login1"), m_manager,
                                          QDBusConnection::ExportAllSlots)
            && m_bus.registerObject(FakeLoginManager::sessionPath, m_session,
                                    QDBusConnection::ExportAllProperties)
            && m_bus.registerService(loginService);
    }

    ~FakeLogind()
    {
        m_bus.unregisterService(loginService);
        QDBusConnection::disconnectFromBus(m_bus.name());
        m_thread.quit();
        m_thread.wait();
    }

    /** Waits until count calls have arrived, then answers all that did. */
    QStringList waitForCalls(qsizetype count) const
    {
        runWithinBudget([this, count] { return m_manager->calls().size() >= count; }, 5s);
        return m_manager->calls();
    }

    bool registered = false;

private:
    QThread m_thread;
    QDBusConnection m_bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fakeLogind"));
    FakeLoginManager *m_manager = new FakeLoginManager;
    FakeLoginSession *m_session = new FakeLoginSession;
};

TEST(LogindPowerRequestTest, IsAvailableOnlyWhileLogin1HasAnOwner)
{
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    LogindPowerRequest request(QDBusConnection::sessionBus());
    EXPECT_FALSE(request.isAvailable());
    {
        FakeLogind logind;
        ASSERT_TRUE(logind.registered);
        EXPECT_TRUE(request.isAvailable());
    }
    EXPECT_FALSE(request.isAvailable());
}

struct CallRow
{
    const char *mode;
    bool force;
    const char *expected;
};

// Names a failing row by its mode and force rather than by its bytes.
void PrintTo(const CallRow &row, std::ostream *out)
{
    *out << '"' << row.mode << (row.force ? "\" forced" : "\" not forced");
}

class LogindCallTest : public ::testing::TestWithParam<CallRow>
{
};

// Forced means nobody is asked: logind's interactive argument is its opposite.
TEST_P(LogindCallTest, MakesExactlyTheManagerCallOfItsMode)
{
    const CallRow row = GetParam();
    qputenv("XDG_SESSION_ID", "c7");
    FakeLogind logind;
    ASSERT_TRUE(logind.registered);
    LogindPowerRequest request(QDBusConnection::sessionBus());
    ExitWindowsByMode(request, QString::fromUtf8(row.mode), row.force);
    EXPECT_EQ(logind.waitForCalls(1), QStringList{QString::fromUtf8(row.expected)});
}

INSTANTIATE_TEST_SUITE_P(Modes, LogindCallTest, ::testing::Values(
    CallRow{"1", true, "PowerOff(false)"}, CallRow{"1", false, "PowerOff(true)"},
    CallRow{"2", true, "Reboot(false)"}, CallRow{"2", false, "Reboot(true)"},
    CallRow{"3", true, "TerminateSession(c7)"}, CallRow{"3", false, "TerminateSession(c7)"}));

TEST(LogindPowerRequestTest, LogOffAsksLogindForTheSessionTheEnvironmentDoesNotName)
{
    qunsetenv("XDG_SESSION_ID");
    FakeLogind logind;
    ASSERT_TRUE(logind.registered);
    LogindPowerRequest request(QDBusConnection::sessionBus());
    request.logOff(true);
    const QString pid = QString::number(QCoreApplication::applicationPid());
    EXPECT_EQ(logind.waitForCalls(2),
              (QStringList{QStringLiteral("GetSessionByPID(%1)").arg(pid),
                           QStringLiteral("TerminateSession(%1)").arg(FakeLoginSession::sessionId)}));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
