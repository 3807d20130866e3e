// SPDX-License-Identifier: MIT
#pragma once

#include "tests/support/FakePageBrowser.h"
#include "tests/support/ManualClock.h"
#include "tests/flow/RecordingView.h"
#include "tests/support/FakePowerRequest.h"
#include "tests/support/ScriptedService.h"
#include "tests/support/Budget.h"

#include "flow/DownloadSession.h"
#include "transfer/DownloadThread.h"

#include <gtest/gtest.h>

#include <chrono>

/** A download session over canned pages, a scripted transfer and a manual clock. */
class FlowFixture : public ::testing::Test
{
protected:
    static constexpr double second = 1.0 / 86'400;

    /** retryBudget: how long an entry whose failure may pass is tried again. */
    explicit FlowFixture(std::chrono::seconds retryBudget = std::chrono::minutes(60))
        : session{{browser, service, power, clock, &view, QStringLiteral("/home/user/Quorvel/Downloads"),
                   std::chrono::milliseconds(1), retryBudget}}
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

    /**
     * The browser finishes loading a page whose body is html, as the engine does: the load ends,
     * then the page's document-complete. failure: why the load failed, when it did; address:
     * where the page ended up after redirects.
     */
    void loadPage(const QString &html, std::optional<FailureCause> failure = std::nullopt,
                  const QString &address = QStringLiteral("http://127.0.0.1/page"))
    {
        auto document = std::make_shared<FakePageDocument>();
        document->address = address;
        document->body = html;
        document->failure = std::move(failure);
        browser.current = document;
        emit browser.beforeNavigate(document->url());
        emit browser.downloadComplete();
        emit browser.documentComplete(document->url());
    }

    /** A transfer of the current page that ends as the script says, run to its end. */
    void runTransfer(const TransferOutcome &outcome, const QString &fileName = QStringLiteral("a.bin"))
    {
        state.PageUrl = queue.currentUrl();
        service.setScript([outcome](UrlDownloadCallback &callback) {
            callback.onStartBinding();
            callback.onProgress(1024 * 1024, 2048 * 1024);
            callback.onStopBinding(outcome);
            return outcome;
        });
        int ended = 0;
        const auto connection = QObject::connect(&flow, &PageFlow::transferEnded, &flow, [&] { ++ended; });
        download.setUrlToDownload(QStringLiteral("http://files/a.bin"));
        download.setFileName(QStringLiteral("/tmp/never-written/") + fileName);
        download.Start();
        EXPECT_TRUE(runWithinBudget([&] { return ended == 1; }, std::chrono::seconds(5)));
        QObject::disconnect(connection);
    }

    /** Moves the clock on and lets Timer1 tick once. */
    void tickCountdown(double seconds)
    {
        clock.set(clock.timeOfDay() + seconds * second);
        flow.Timer1Timer();
    }

    void armPowerOff() { shutdown.menuChosen(); }

    FakePageBrowser browser;
    ScriptedService service{[](UrlDownloadCallback &callback) {
        callback.onStartBinding();
        callback.onStopBinding(TransferOutcome::done());
        return TransferOutcome::done();
    }};
    FakePowerRequest power;
    ManualClock clock;
    RecordingView view;
    DownloadSession session;
    MainUnitState &state = session.state();
    PageTextBuffer &buffer = session.buffer();
    DownloadQueue &queue = session.queue();
    TDownloadFile &download = session.download();
    ShutdownSwitch &shutdown = session.shutdown();
    PageFlow &flow = session.flow();
    TransferProgressDisplay &display = session.progress();
};
