// SPDX-License-Identifier: MIT
#include "platform/power/LogindPowerRequest.h"
#include "FakeLogind.h"
#include "power/ExitWindowsByMode.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include <gtest/gtest.h>

#include <ostream>

using namespace std::chrono_literals;

namespace {

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
    request.logOff(true, {});
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
