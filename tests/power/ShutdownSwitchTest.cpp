// SPDX-License-Identifier: MIT
#include "tests/support/FakePowerRequest.h"
#include "power/ShutdownSwitch.h"
#include "tests/support/Budget.h"

#include <QList>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using State = ShutdownSwitch::State;

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
        power.CheckShutDown();
        ASSERT_TRUE(power.countdown().isRunning());
    }

    bool countdownEnds()
    {
        return runWithinBudget([this] { return !power.countdown().isRunning(); }, 5s);
    }

    FakePowerRequest request;
    bool transferRunning = false;
    ShutdownSwitch power{request, [this] { return transferRunning; }, 1ms};
    QList<bool> downChanges;
    int countdownsStarted = 0;
};

TEST_F(ShutdownSwitchTest, OnlyTheArmedStateStartsACountdown)
{
    power.CheckShutDown();
    EXPECT_EQ(power.state(), State::NeverUsed);
    EXPECT_FALSE(power.countdown().isRunning());

    power.buttonClicked(true);
    EXPECT_EQ(power.state(), State::Armed);
    power.buttonClicked(false);
    EXPECT_EQ(power.state(), State::Released);
    power.CheckShutDown();
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
    power.CheckShutDown();
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
    power.CheckShutDown();
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

TEST_F(ShutdownSwitchTest, NoPowerOffWhileATransferRuns)
{
    power.menuChosen();
    transferRunning = true;
    power.CheckShutDown();
    EXPECT_FALSE(power.countdown().isRunning());

    // A transfer that began without telling the switch still holds the request back at expiry.
    transferRunning = false;
    power.CheckShutDown();
    transferRunning = true;
    ASSERT_TRUE(countdownEnds());
    EXPECT_TRUE(request.calls.isEmpty());
}

TEST_F(ShutdownSwitchTest, ATransferStartingEndsTheCountdownButStaysArmed)
{
    armAndCheck();
    power.transferStarted();
    EXPECT_FALSE(power.countdown().isRunning());
    EXPECT_EQ(power.state(), State::Armed);
    EXPECT_TRUE(request.calls.isEmpty());

    power.CheckShutDown();
    EXPECT_TRUE(power.countdown().isRunning());
}

TEST_F(ShutdownSwitchTest, NoCountdownWhenTheSystemCannotBeSwitchedOff)
{
    request.available = false;
    power.menuChosen();
    power.CheckShutDown();
    EXPECT_FALSE(power.countdown().isRunning());
    EXPECT_TRUE(request.calls.isEmpty());
}

} // namespace
