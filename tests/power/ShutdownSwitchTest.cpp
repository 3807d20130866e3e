// SPDX-License-Identifier: MIT
#include "tests/support/FakePowerRequest.h"
#include "power/ShutdownSwitch.h"
#include "tests/support/Budget.h"

#include <QList>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using State = ShutdownSwitch::State;
using RunEnd = ShutdownSwitch::RunEnd;

namespace {

class ShutdownSwitchTest : public ::testing::Test
{
protected:
    ShutdownSwitchTest()
    {
        QObject::connect(&power, &ShutdownSwitch::downChanged, &power,
                         [this](bool down) { downChanges << down; });
        QObject::connect(&power.countdown(), &ShutdownCountdown::started, &power,
                         [this] { ++countdownsStarted; });
    }

    void armAndCheck()
    {
        power.menuChosen();
        power.CheckShutDown(RunEnd::DownloadsCompleted);
        ASSERT_TRUE(power.countdown().isRunning());
    }

    bool countdownEnds()
    {
        return runWithinBudget([this] { return !power.countdown().isRunning(); }, 5s);
    }

    FakePowerRequest request;
    bool runBusy = false;
    ShutdownSwitch power{request, [this] { return runBusy; }, 1ms};
    QList<bool> downChanges;
    int countdownsStarted = 0;
};

TEST_F(ShutdownSwitchTest, OnlyTheArmedStateStartsACountdown)
{
    power.CheckShutDown(RunEnd::DownloadsCompleted);
    EXPECT_EQ(power.state(), State::NeverUsed);
    EXPECT_FALSE(power.countdown().isRunning());

    power.buttonClicked(true);
    EXPECT_EQ(power.state(), State::Armed);
    power.buttonClicked(false);
    EXPECT_EQ(power.state(), State::Released);
    power.CheckShutDown(RunEnd::DownloadsCompleted);
    EXPECT_FALSE(power.countdown().isRunning());
    EXPECT_TRUE(request.calls.isEmpty());
}

TEST_F(ShutdownSwitchTest, MenuArmsFromAnyStateAndPushesTheButtonDown)
{
    power.menuChosen();
    power.menuChosen();
    EXPECT_EQ(power.state(), State::Armed);
    power.buttonClicked(false);
    power.menuChosen();
    EXPECT_TRUE(power.isDown());
    EXPECT_EQ(downChanges, (QList<bool>{true, false, true}));
}

TEST_F(ShutdownSwitchTest, TwoChecksInARowMakeOneCountdownAndOneForcedPowerOff)
{
    armAndCheck();
    power.CheckShutDown(RunEnd::DownloadsCompleted);
    EXPECT_EQ(power.countdown().remaining(), ShutdownSwitch::countdownSeconds);
    ASSERT_TRUE(countdownEnds());
    EXPECT_EQ(countdownsStarted, 1);
    EXPECT_EQ(request.calls, QStringList{QStringLiteral("powerOff(true)")});
}

TEST_F(ShutdownSwitchTest, CancelReleasesTheButtonAndRequestsNothing)
{
    armAndCheck();
    power.countdown().cancel();
    EXPECT_EQ(power.state(), State::Released);
    EXPECT_EQ(downChanges, (QList<bool>{true, false}));
    power.CheckShutDown(RunEnd::DownloadsCompleted);
    EXPECT_FALSE(power.countdown().isRunning());
    EXPECT_TRUE(request.calls.isEmpty());
}

TEST_F(ShutdownSwitchTest, ReleasingTheButtonDuringTheCountdownStopsIt)
{
    armAndCheck();
    power.buttonClicked(false);
    EXPECT_FALSE(power.countdown().isRunning());
    EXPECT_TRUE(request.calls.isEmpty());
}

TEST_F(ShutdownSwitchTest, NoPowerOffWhileTheRunIsBusy)
{
    power.menuChosen();
    runBusy = true;
    power.CheckShutDown(RunEnd::DownloadsCompleted);
    EXPECT_FALSE(power.countdown().isRunning());

    // Work that began without telling the switch still holds the request back at expiry.
    runBusy = false;
    power.CheckShutDown(RunEnd::DownloadsCompleted);
    runBusy = true;
    ASSERT_TRUE(countdownEnds());
    EXPECT_TRUE(request.calls.isEmpty());
}

TEST_F(ShutdownSwitchTest, WorkStartingEndsTheCountdownButStaysArmed)
{
    armAndCheck();
    power.workStarted();
    EXPECT_FALSE(power.countdown().isRunning());
    EXPECT_EQ(power.state(), State::Armed);
    EXPECT_TRUE(request.calls.isEmpty());

    power.CheckShutDown(RunEnd::DownloadsCompleted);
    EXPECT_TRUE(power.countdown().isRunning());
}

TEST_F(ShutdownSwitchTest, TheCountdownSaysDownloadsCompletedOnlyWhenTheyDid)
{
    power.menuChosen();
    power.CheckShutDown(RunEnd::NothingQueued);
    EXPECT_EQ(power.countdown().reason(), QStringLiteral("队列中没有要下载的网址"));
    power.workStarted();
    power.CheckShutDown(RunEnd::DownloadStopped);
    EXPECT_FALSE(power.countdown().reason().contains(QStringLiteral("完成")));
    power.workStarted();
    power.CheckShutDown(RunEnd::DownloadsCompleted);
    EXPECT_EQ(power.countdown().reason(), QStringLiteral("下载已完成"));
}

TEST_F(ShutdownSwitchTest, NoCountdownWhenTheSystemCannotBeSwitchedOff)
{
    request.available = false;
    power.menuChosen();
    power.CheckShutDown(RunEnd::DownloadsCompleted);
    EXPECT_FALSE(power.countdown().isRunning());
    EXPECT_TRUE(request.calls.isEmpty());
}

} // namespace
