// SPDX-License-Identifier: MIT
#include "tests/flow/FlowFixture.h"

#include "flow/StatusTexts.h"

#include <utility>
#include <vector>

using namespace std::chrono_literals;

namespace {

const QString A = QStringLiteral("http://host/a");
const QString B = QStringLiteral("http://host/b");
const QString errorPage = QStringLiteral("<h1>无法打开页面</h1>");
const QString missingPage =
    QStringLiteral("<p>The file could not be found. Please check the download link.</p>");

} // namespace

class RetryFlowTest : public FlowFixture
{
protected:
    RetryFlowTest()
    {
        QObject::connect(&flow, &PageFlow::retryScheduled, &flow,
                         [this](const QString &url, const QString &reason, std::chrono::seconds wait, int) {
                             retries.push_back({url + QLatin1Char(' ') + reason, wait});
                         });
        QObject::connect(&flow, &PageFlow::entryFailed, &flow, [this](const QString &url, const QString &reason) {
            failures << url + QLatin1Char(' ') + reason;
        });
    }

    void startQueue(const QStringList &urls)
    {
        queue.appendAll(urls);
        queue.showHead();
        flow.StartDownload1Click();
    }

    /** The clock passes the last scheduled wait, and the wait ticks. */
    void waitOutRetry()
    {
        ASSERT_TRUE(flow.retryWait().isActive());
        clock.set(clock.timeOfDay() + double(retries.back().second.count()) * second);
        flow.retryWait().tick();
    }

    std::vector<std::pair<QString, std::chrono::seconds>> retries;
    QStringList failures;
};

TEST_F(RetryFlowTest, AFailedLoadWaitsWithItsReasonThenWalksTheSamePageAgain)
{
    armPowerOff();
    startQueue({A, B});
    loadPage(errorPage, FailureCause::transient(QStringLiteral("连接被拒绝")));
    ASSERT_TRUE(flow.retryWait().isActive());
    EXPECT_EQ(view.status[0], StatusTexts::waitingToRetry.text);
    EXPECT_EQ(view.status[1], QStringLiteral("00:00:30"));
    EXPECT_EQ(view.status[2], QStringLiteral(" 连接被拒绝"));
    EXPECT_EQ(queue.entries(), (QStringList{A, B}));
    EXPECT_EQ(queue.currentUrl(), A);
    EXPECT_FALSE(flow.isAtRest());

    clock.set(clock.timeOfDay() + 29 * second);
    flow.retryWait().tick();
    EXPECT_EQ(view.status[1], QStringLiteral("00:00:01"));
    EXPECT_EQ(browser.navigated, QStringList{A});
    clock.set(clock.timeOfDay() + 1 * second);
    flow.retryWait().tick();
    EXPECT_FALSE(flow.retryWait().isActive());
    EXPECT_EQ(browser.navigated, (QStringList{A, A}));

    // The host is back: the walk goes on as if nothing had happened.
    loadPage(QStringLiteral("<script>var c=30;</script><form action=\"http://files/a.bin\">"));
    EXPECT_TRUE(flow.Timer1().isActive());
    EXPECT_TRUE(failures.isEmpty());
    EXPECT_TRUE(power.calls.isEmpty());
}

TEST_F(RetryFlowTest, AHostAwayForMoreThanAnHourFailsTheEntryAndTheRunGoesOn)
{
    startQueue({A, B});
    while (failures.isEmpty() && retries.size() < 20) {
        loadPage(errorPage, FailureCause::fromPageStatus(503));
        if (flow.retryWait().isActive())
            waitOutRetry();
    }
    std::vector<std::chrono::seconds> waits;
    for (const auto &retry : retries)
        waits.push_back(retry.second);
    EXPECT_EQ(waits, (std::vector<std::chrono::seconds>{30s, 1min, 2min, 4min, 8min, 10min, 10min, 10min, 10min}));
    EXPECT_EQ(failures, QStringList{A + QStringLiteral(" HTTP 503")});
    EXPECT_EQ(queue.entries(), (QStringList{B, A}));
    EXPECT_EQ(browser.navigated.last(), B);
    EXPECT_EQ(view.status[0], StatusTexts::downloadFailed.text);
    EXPECT_EQ(view.status[2], QStringLiteral(" HTTP 503"));
}

TEST_F(RetryFlowTest, APermanentCauseFailsAtOnceAndRetryAfterIsWaitedOut)
{
    startQueue({A, B});
    loadPage(errorPage, FailureCause::fromPageStatus(410));
    EXPECT_TRUE(retries.empty());
    EXPECT_EQ(failures, QStringList{A + QStringLiteral(" HTTP 410")});
    EXPECT_EQ(browser.navigated.last(), B);

    loadPage(errorPage, FailureCause::fromPageStatus(429, 300));
    ASSERT_EQ(retries.size(), 1u);
    EXPECT_EQ(retries.back(), std::pair(B + QStringLiteral(" HTTP 429"), std::chrono::seconds(5min)));
}

TEST_F(RetryFlowTest, AnErrorStatusPageThatAReaderRecognisesIsReadAsUsual)
{
    QStringList dropped;
    QObject::connect(&flow, &PageFlow::urlDropped, &flow, [&](const QString &url) { dropped << url; });
    startQueue({A, B});
    loadPage(missingPage, FailureCause::fromPageStatus(404));
    EXPECT_EQ(dropped, QStringList{A});
    EXPECT_TRUE(failures.isEmpty());
    EXPECT_TRUE(retries.empty());
    EXPECT_EQ(browser.navigated.last(), B);
}

TEST_F(RetryFlowTest, APageNobodyRecognisesGetsThreeMoreTriesThenFails)
{
    startQueue({A, B});
    for (int load = 0; load < 4; ++load) {
        loadPage(QStringLiteral("<p>Down for maintenance</p>"));
        if (flow.retryWait().isActive())
            waitOutRetry();
    }
    EXPECT_EQ(retries.size(), 3u);
    EXPECT_EQ(failures, QStringList{A + QStringLiteral(" 页面无法识别")});
    EXPECT_EQ(browser.navigated, (QStringList{A, A, A, A, B}));
}

TEST_F(RetryFlowTest, StopCancelsTheWaitAndAStartTriesAtOnce)
{
    startQueue({A});
    loadPage(errorPage, FailureCause::transient(QStringLiteral("超时")));
    flow.StopDownExecute();
    EXPECT_FALSE(flow.retryWait().isActive());
    EXPECT_TRUE(flow.isAtRest());
    EXPECT_EQ(queue.entries(), QStringList{A});
    EXPECT_EQ(view.status, (std::array<QString, 3>{}));

    flow.StartDownload1Click();
    EXPECT_EQ(browser.navigated, (QStringList{A, A}));
    // A start during the wait does not wait either, and the next failure begins a fresh count.
    loadPage(errorPage, FailureCause::transient(QStringLiteral("超时")));
    flow.StartDownload1Click();
    EXPECT_FALSE(flow.retryWait().isActive());
    EXPECT_EQ(browser.navigated.size(), 3);
    loadPage(errorPage, FailureCause::transient(QStringLiteral("超时")));
    EXPECT_EQ(retries.back().second, 30s);
}

TEST_F(RetryFlowTest, ACutTransferGoesBackToTheHeadAndIsWalkedAgain)
{
    startQueue({A, B});
    runTransfer(TransferOutcome::failed(FailureCause::transient(QStringLiteral("连接被重置"))));
    EXPECT_EQ(queue.entries(), (QStringList{A, B}));
    EXPECT_EQ(queue.currentUrl(), A);
    EXPECT_TRUE(flow.retryWait().isActive());
    EXPECT_EQ(view.status[2], QStringLiteral(" 连接被重置"));
    // Its part file stays for the next try to resume.
    EXPECT_TRUE(service.discarded.isEmpty());
    waitOutRetry();
    EXPECT_EQ(browser.navigated, (QStringList{A, A}));

    // The fresh walk's file link is refused as the first was: the file is refused, for good.
    runTransfer(TransferOutcome::failed(FailureCause::fromFileStatus(404)));
    EXPECT_TRUE(flow.retryWait().isActive());
    waitOutRetry();
    runTransfer(TransferOutcome::failed(FailureCause::fromFileStatus(404)));
    EXPECT_EQ(failures, QStringList{A + QStringLiteral(" HTTP 404")});
    EXPECT_EQ(queue.entries(), (QStringList{B, A}));
    EXPECT_EQ(service.discarded, QStringList{QStringLiteral("/tmp/never-written/a.bin")});
    EXPECT_EQ(browser.navigated.last(), B);
}

TEST_F(RetryFlowTest, AFreeUserThatOnlyLeadsToAnotherIsPressedAFewTimesThenRetriedAsUnrecognised)
{
    startQueue({A, B});
    QStringList clicks;
    // The form posts to itself: every press brings the same page back.
    const auto loadSelfPostingPage = [&] {
        auto document = std::make_shared<FakePageDocument>();
        document->body = QStringLiteral("<form action=\"\"><input type=submit value=\"Free user\"></form>");
        document->addForm({{QStringLiteral("free"), QStringLiteral("Free user")}}, clicks);
        browser.current = document;
        emit browser.beforeNavigate(document->url());
        emit browser.downloadComplete();
        emit browser.documentComplete(document->url());
    };
    for (int load = 0; load <= PageFlow::maxFreeUserPresses; ++load)
        loadSelfPostingPage();
    EXPECT_EQ(clicks.size(), PageFlow::maxFreeUserPresses);
    ASSERT_TRUE(flow.retryWait().isActive());
    EXPECT_EQ(retries.back().first, A + QStringLiteral(" 页面无法识别"));

    // The fresh walk of the retry may press again.
    waitOutRetry();
    EXPECT_EQ(browser.navigated, (QStringList{A, A}));
    loadSelfPostingPage();
    EXPECT_EQ(clicks.size(), PageFlow::maxFreeUserPresses + 1);
}

TEST_F(RetryFlowTest, EachEntryOfAUrlListedTwiceFailsOnItsOwnAndNoUntriedEntryIsLeftBehind)
{
    startQueue({A, A, B});
    loadPage(errorPage, FailureCause::fromPageStatus(410));
    loadPage(errorPage, FailureCause::fromPageStatus(410));
    EXPECT_EQ(browser.navigated, (QStringList{A, A, B}));
    EXPECT_EQ(failures, (QStringList{A + QStringLiteral(" HTTP 410"), A + QStringLiteral(" HTTP 410")}));
    loadPage(errorPage, FailureCause::fromPageStatus(410));
    EXPECT_EQ(queue.entries(), (QStringList{A, A, B}));
    EXPECT_EQ(view.status[0], StatusTexts::restingAtFailures(3).text);

    // A failed entry moved back to the top by hand does not keep the untried ones from their turn.
    const QString C = QStringLiteral("http://host/c");
    failures.clear();
    queue.replaceAll({A, B, C});
    queue.showHead();
    flow.StartDownload1Click();
    loadPage(errorPage, FailureCause::fromPageStatus(410));
    queue.setSelected(2);
    queue.moveFirst();
    EXPECT_EQ(queue.entries(), (QStringList{A, B, C}));
    loadPage(missingPage);
    EXPECT_EQ(browser.navigated.last(), C);
    EXPECT_EQ(queue.entries(), (QStringList{C, A}));
}

TEST_F(RetryFlowTest, AFileLinkRefusedAnotherWayAfterTheFreshWalkIsWalkedAgain)
{
    startQueue({A, B});
    runTransfer(TransferOutcome::failed(FailureCause::fromFileStatus(403)));
    waitOutRetry();
    runTransfer(TransferOutcome::failed(FailureCause::fromFileStatus(404)));
    EXPECT_TRUE(flow.retryWait().isActive());
    EXPECT_TRUE(failures.isEmpty());
    EXPECT_EQ(retries.size(), 2u);
}

TEST_F(RetryFlowTest, ACutTransferWhoseFreshWalkFindsTheFileMissingLeavesNoPart)
{
    startQueue({A, B});
    runTransfer(TransferOutcome::failed(FailureCause::transient(QStringLiteral("连接被重置"))));
    waitOutRetry();
    EXPECT_TRUE(service.discarded.isEmpty());
    loadPage(missingPage);
    EXPECT_EQ(service.discarded, QStringList{QStringLiteral("/tmp/never-written/a.bin")});
    EXPECT_EQ(queue.entries(), QStringList{B});
}

namespace {

struct WaitPageRow
{
    const char *name;
    std::chrono::seconds budget;
    QString page;
    /** Each wait the flow takes before it gives the entry up. */
    std::vector<std::chrono::seconds> waits;
};

void PrintTo(const WaitPageRow &row, std::ostream *out)
{
    *out << row.name;
}

class WaitPageTest : public FlowFixture, public ::testing::WithParamInterface<WaitPageRow>
{
protected:
    WaitPageTest()
        : FlowFixture(GetParam().budget)
    {
    }
};

} // namespace

// A host whose page only ever says "wait" is asked no faster than the retry schedule allows, and
// no longer than the retry budget.
TEST_P(WaitPageTest, AWaitPageForEverCostsTheRetryBudgetAtTheScheduledPace)
{
    QStringList failures;
    QObject::connect(&flow, &PageFlow::entryFailed, &flow,
                     [&](const QString &url, const QString &reason) { failures << url + QLatin1Char(' ') + reason; });
    queue.appendAll({A, B});
    queue.showHead();
    flow.StartDownload1Click();
    std::vector<std::chrono::seconds> waits;
    while (failures.isEmpty() && waits.size() < 20) {
        loadPage(GetParam().page);
        if (!flow.Timer2().isActive())
            break;
        waits.emplace_back(std::llround(state.WaitDuration * 86'400));
        clock.set(clock.timeOfDay() + double(waits.back().count()) * second);
        flow.Timer2Timer();
    }
    EXPECT_EQ(waits, GetParam().waits);
    EXPECT_EQ(failures, QStringList{A + QLatin1Char(' ') + EntryRetry::waitPageReason()});
    EXPECT_EQ(browser.navigated.size(), qsizetype(waits.size()) + 2);
    EXPECT_EQ(browser.navigated.last(), B);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, WaitPageTest,
    ::testing::Values(WaitPageRow{"OneMinuteWithinNinetySeconds",
                                  90s,
                                  QStringLiteral("Unfortunately you will have to wait 1 minutes."),
                                  {60s}},
                      WaitPageRow{"NoWaitAtAllWithinAnHour",
                                  60min,
                                  QStringLiteral("Or try again in about 0 minutes."),
                                  {0s, 1min, 2min, 4min, 8min, 10min, 10min, 10min, 10min}},
                      WaitPageRow{"LongerThanTheBudget",
                                  30min,
                                  QStringLiteral("Unfortunately you will have to wait 45 minutes."),
                                  {45min}}),
    [](const ::testing::TestParamInfo<WaitPageRow> &info) { return std::string(info.param.name); });
