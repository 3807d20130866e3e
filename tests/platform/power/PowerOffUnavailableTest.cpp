// SPDX-License-Identifier: MIT
#include "FakeLogind.h"
#include "platform/power/LogindPowerRequest.h"
#include "power/ShutdownSwitch.h"

#include <QDBusConnection>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

const char *const noLogind = "系统总线上没有 logind";
const char *const noBus = "无法连接系统 D-Bus 总线";
const char *const atArming = "队列结束后将无法关机: ";
const char *const atEnd = "下载队列已结束, 但无法关机: ";

enum class System { NoBus, NoLogind, Logind };

struct UnavailableRow
{
    const char *name;
    System system;
    const char *canPowerOff;
    /** What CanPowerOff answers once the arming's answer has come; nullptr: the same. */
    const char *canPowerOffLater;
    /** A D-Bus error name PowerOff answers with; nullptr: it takes the request. */
    const char *powerOffError;
    /** The queue ends before the arming's answer has come. */
    bool endsAtOnce;
    /** Each text the switch says, as its start. */
    std::vector<std::string> said;
};

void PrintTo(const UnavailableRow &row, std::ostream *out)
{
    *out << row.name;
}

class PowerOffUnavailableTest : public ::testing::TestWithParam<UnavailableRow>
{
};

// What a user hears about a power-off that will not happen, from arming to its end; the count
// never runs on, and nothing is requested of a system that said no.
TEST_P(PowerOffUnavailableTest, SaysWhenAndWhyInChinese)
{
    const UnavailableRow &row = GetParam();
    std::optional<FakeLogind> logind;
    if (row.system == System::Logind) {
        logind.emplace();
        ASSERT_TRUE(logind->registered);
        logind->manager().setCanPowerOff(QString::fromUtf8(row.canPowerOff));
        if (row.powerOffError)
            logind->manager().refusePowerOff(QString::fromUtf8(row.powerOffError), QStringLiteral("Permission denied"));
    }
    LogindPowerRequest request(row.system == System::NoBus
                                   ? QDBusConnection::connectToBus(u"unix:path=/nonexistent/bus"_s, u"noBus"_s)
                                   : QDBusConnection::sessionBus());
    ShutdownSwitch power(
        request, [] { return false; }, 1ms);
    QStringList said;
    QObject::connect(&power, &ShutdownSwitch::powerOffUnavailable, &power,
                     [&said](const QString &text) { said << text; });
    // After the switch's own handler has made the request: a front end must not end before its answer.
    bool pendingAtExpiry = false;
    QObject::connect(&power.countdown(), &ShutdownCountdown::expired, &power,
                     [&] { pendingAtExpiry = power.powerOffPending(); });
    int answers = 0;
    QObject::connect(&power, &ShutdownSwitch::powerOffAnswered, &power, [&answers] { ++answers; });

    power.menuChosen();
    if (!row.endsAtOnce) {
        ASSERT_TRUE(runWithinBudget(
            [&] { return !said.isEmpty() || (logind && logind->manager().calls().contains(u"CanPowerOff()"_s)); }, 5s));
        runWithinBudget([] { return false; }, 50ms); // the answer on its way back
    }
    if (row.canPowerOffLater)
        logind->manager().setCanPowerOff(QString::fromUtf8(row.canPowerOffLater));
    power.CheckShutDown(ShutdownSwitch::RunEnd::DownloadsCompleted);
    ASSERT_TRUE(runWithinBudget(
        [&] { return said.size() >= qsizetype(row.said.size()) && !power.countdown().isRunning(); }, 5s));
    runWithinBudget([] { return false; }, 50ms); // anything more it would say

    ASSERT_EQ(said.size(), qsizetype(row.said.size())) << said.join(u'\n').toStdString();
    for (qsizetype i = 0; i < said.size(); ++i)
        EXPECT_TRUE(said[i].startsWith(QString::fromStdString(row.said[std::size_t(i)]))) << said[i].toStdString();
    EXPECT_TRUE(power.isDown());
    const bool requested = logind && logind->manager().calls().contains(QStringLiteral("PowerOff(false)"));
    EXPECT_EQ(requested, row.powerOffError != nullptr);
    EXPECT_EQ(pendingAtExpiry, requested);
    EXPECT_EQ(answers, requested ? 1 : 0);
    EXPECT_FALSE(power.powerOffPending());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, PowerOffUnavailableTest,
    ::testing::Values(UnavailableRow{"NoBus",
                                     System::NoBus,
                                     "",
                                     nullptr,
                                     nullptr,
                                     false,
                                     {std::string(atArming) + noBus, std::string(atEnd) + noBus}},
                      UnavailableRow{"NoLogind",
                                     System::NoLogind,
                                     "",
                                     nullptr,
                                     nullptr,
                                     false,
                                     {std::string(atArming) + noLogind, std::string(atEnd) + noLogind}},
                      UnavailableRow{"NoLogindTheQueueEndsAtOnce",
                                     System::NoLogind,
                                     "",
                                     nullptr,
                                     nullptr,
                                     true,
                                     {std::string(atEnd) + noLogind}},
                      UnavailableRow{"APasswordIsNeeded",
                                     System::Logind,
                                     "challenge",
                                     nullptr,
                                     nullptr,
                                     false,
                                     {std::string(atArming) + "需要管理员授权", std::string(atEnd) + "需要管理员授权"}},
                      UnavailableRow{"APasswordIsNeededOnlyAtTheEnd",
                                     System::Logind,
                                     "yes",
                                     "challenge",
                                     nullptr,
                                     false,
                                     {std::string(atEnd) + "需要管理员授权"}},
                      UnavailableRow{"PowerOffRefused",
                                     System::Logind,
                                     "yes",
                                     nullptr,
                                     "org.freedesktop.DBus.Error.AccessDenied",
                                     true,
                                     {"系统拒绝关机: 没有权限 (Permission denied)"}}));

} // namespace
