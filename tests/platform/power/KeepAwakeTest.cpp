// SPDX-License-Identifier: MIT
#include "power/KeepAwake.h"
#include "FakeLogind.h"
#include "platform/power/LogindSleepInhibitor.h"
#include "tests/automation/QStringPrinter.h"
#include "tests/flow/FlowFixture.h"

#include <atomic>
#include <optional>

using namespace std::chrono_literals;

namespace {

const QString theLock = QStringLiteral("Inhibit(sleep:idle,Quorvel,正在下载,block)");

QString countdownPage(int seconds)
{
    return QStringLiteral("<script>var c=%1;</script><form name=\"dlf\" action=\"http://files/a.bin\" method=\"post\">")
        .arg(seconds);
}

/** logind's lock on the private bus, counting the refusals that pass through to the one who asked. */
class CountedInhibitor final : public SleepInhibitor
{
public:
    void hold(const QString &why, Refusal refused) override
    {
        m_logind.hold(why, [this, refused](const QString &whyNot) {
            ++refusals;
            refused(whyNot);
        });
    }
    void release() override { m_logind.release(); }

    int refusals = 0;

private:
    LogindSleepInhibitor m_logind{QDBusConnection::sessionBus()};
};

/** A download session followed as the front ends follow theirs. */
class KeepAwakeTest : public FlowFixture
{
protected:
    KeepAwakeTest()
    {
        QObject::connect(&keepAwake, &KeepAwake::unavailable, &keepAwake,
                         [this](const QString &warning) { warnings << warning; });
        QObject::connect(&session, &DownloadSession::cameToRest, &session, [this] { ++rests; });
    }

    void startAt(const QString &url)
    {
        queue.append(url);
        queue.showHead();
        flow.StartDownload1Click();
    }

    int locksHeld() { return logind ? logind->manager().locksHeld() : 0; }
    QStringList inhibitCalls()
    {
        return logind ? logind->manager().calls().filter(QStringLiteral("Inhibit(")) : QStringList();
    }

    // Before the inhibitor, which asks it for locks.
    std::optional<FakeLogind> logind{std::in_place};
    CountedInhibitor inhibitor;
    KeepAwake keepAwake{inhibitor, session};
    QStringList warnings;
    int rests = 0;
};

TEST_F(KeepAwakeTest, OneLockFromTheFirstWorkUntilTheRunRestsOrStops)
{
    ASSERT_TRUE(logind->registered);
    int locksAtPowerOff = -1;
    power.onRequest = [&] { locksAtPowerOff = locksHeld(); };
    armPowerOff();

    // A page, its countdown, then the transfer it starts: work all through, one lock.
    startAt(QStringLiteral("http://host/a"));
    ASSERT_TRUE(runWithinBudget([&] { return locksHeld() == 1; }, 5s));
    loadPage(countdownPage(30));
    ASSERT_TRUE(flow.Timer1().isActive());
    std::atomic<bool> go = false;
    service.setScript(ScriptedService::doneOnceReleased(go));
    tickCountdown(31);
    ASSERT_TRUE(runWithinBudget([&] { return session.transferRunning(); }, 5s));
    EXPECT_EQ(locksHeld(), 1);
    go = true;

    // The queue is done: the lock goes before the power-off it must not hold off.
    ASSERT_TRUE(runWithinBudget([&] { return !power.calls.isEmpty(); }, 5s));
    EXPECT_EQ(locksAtPowerOff, 0);
    EXPECT_EQ(inhibitCalls(), QStringList{theLock});

    // A run of its own takes a lock of its own; a stop during its wait gives it back.
    startAt(QStringLiteral("http://host/b"));
    loadPage(QStringLiteral("Or try again in about 2 minutes."));
    ASSERT_TRUE(flow.Timer2().isActive());
    ASSERT_TRUE(runWithinBudget([&] { return locksHeld() == 1; }, 5s));
    flow.StopDownExecute();
    EXPECT_TRUE(runWithinBudget([&] { return locksHeld() == 0; }, 5s));
    EXPECT_EQ(inhibitCalls(), (QStringList{theLock, theLock}));
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(KeepAwakeTest, WithoutLogindTheRunGoesOnAndSaysSoOnce)
{
    logind.reset();
    for (const int run : {1, 2}) {
        startAt(QStringLiteral("http://host/a"));
        loadPage(QStringLiteral("Or try again in about 2 minutes."));
        ASSERT_TRUE(flow.Timer2().isActive());
        ASSERT_TRUE(runWithinBudget([&] { return inhibitor.refusals == run; }, 5s));
        flow.StopDownExecute();
        ASSERT_TRUE(runWithinBudget([&] { return rests == run; }, 5s));
    }
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.front().contains(QStringLiteral("系统总线上没有 logind"))) << warnings.front().toStdString();
    EXPECT_TRUE(view.errors.isEmpty());
}

} // namespace
