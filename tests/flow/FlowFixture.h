// SPDX-License-Identifier: MIT
#pragma once

#include "tests/automation/FakePageBrowser.h"
#include "tests/automation/ManualClock.h"
#include "tests/automation/flow/RecordingView.h"
#include "tests/power/FakePowerRequest.h"
#include "tests/transfer/ScriptedService.h"
#include "tests/support/Budget.h"

#include "automation/MainUnitState.h"
#include "automation/PageTextBuffer.h"
#include "automation/flow/PageFlow.h"
#include "power/ShutdownSwitch.h"
#include "queue/DownloadQueue.h"
#include "transfer/DownloadThread.h"
#include "transfer/TDownloadFile.h"
#include "transfer/progress/TransferProgressDisplay.h"

#include <gtest/gtest.h>

#include <chrono>

/** The core of a main window without widgets: canned pages, a scripted transfer, a manual clock. */
class FlowFixture : public ::testing::Test
{
protected:
    static constexpr double second = 1.0 / 86'400;

    FlowFixture()
    {
        clock.set(0.5);
        view.folder = QStringLiteral("/downloads");
    }

    // The scripted service must outlive the worker of a transfer a test has started.
    void TearDown() override
    {
        EXPECT_TRUE(runWithinBudget([] { return DownloadThread::waitForWorkers(std::chrono::milliseconds(0)); },
                                    std::chrono::seconds(5)));
    }

    /** The browser finishes loading a page whose body is html. */
    void loadPage(const QString &html)
    {
        auto document = std::make_shared<FakePageDocument>();
        document->body = html;
        browser.current = document;
        emit browser.documentComplete(document->url());
    }

    /** Moves the clock on and lets Timer1 tick once. */
    void tickCountdown(double seconds)
    {
        clock.set(clock.timeOfDay() + seconds * second);
        flow.Timer1Timer();
    }

    void armPowerOff() { shutdown.menuChosen(); }

    MainUnitState state;
    PageTextBuffer buffer;
    FakePageBrowser browser;
    DownloadQueue queue;
    ScriptedService service{[](UrlDownloadCallback &callback) {
        callback.onStartBinding();
        callback.onStopBinding(TransferOutcome::done());
        return TransferOutcome::done();
    }};
    TDownloadFile download{service};
    FakePowerRequest power;
    ShutdownSwitch shutdown{power, [this] { return download.Tag() != 0; }, std::chrono::milliseconds(1)};
    ManualClock clock;
    RecordingView view;
    PageFlow flow{{state, buffer, browser, queue, download, shutdown, clock, view,
                   QStringLiteral("/home/user/Quorvel/Downloads")}};
    TransferProgressDisplay display{{state, queue, download, flow, shutdown, clock, view}};
};
