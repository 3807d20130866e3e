// SPDX-License-Identifier: MIT
#include "tests/flow/FlowFixture.h"

#include "flow/StatusTexts.h"
#include "transfer/ProgressText.h"

#include <QThread>

#include <atomic>

using namespace std::chrono_literals;
using Field = FlowView::Field;

class TransferProgressDisplayTest : public FlowFixture
{
protected:
    /**
     * A transfer of 1 MiB of 2 MiB during which the estimate timer fires ticks times before the
     * progress arrives; answers the estimate shown then.
     */
    QString estimateAfterTicks(int ticks)
    {
        std::atomic<bool> go = false;
        service.setScript([&go](UrlDownloadCallback &callback) {
            callback.onStartBinding();
            while (!go)
                QThread::msleep(1);
            callback.onProgress(1024 * 1024, 2048 * 1024);
            callback.onStopBinding(TransferOutcome::done());
            return TransferOutcome::done();
        });
        QString shown;
        const auto connection = QObject::connect(&display, &TransferProgressDisplay::progressed, &display,
                                                 [&] { shown = view.fields[Field::Estimate]; });
        download.setUrlToDownload(QStringLiteral("http://files/a.bin"));
        download.setFileName(QStringLiteral("/tmp/never-written/a.bin"));
        download.Start();
        EXPECT_TRUE(runWithinBudget([&] { return flow.transferRunning(); }, 5s));
        for (int tick = 0; tick < ticks; ++tick)
            display.EstTimerTimer();
        elapsedAtProgress = state.ElapsedSeconds;
        go = true;
        EXPECT_TRUE(runWithinBudget([&] { return !flow.transferRunning() && !download.Busy(); }, 5s));
        QObject::disconnect(connection);
        return shown;
    }

    int elapsedAtProgress = 0;
};

TEST_F(TransferProgressDisplayTest, StartTakesTheHeadOffTheQueueAndMarksTheTransfer)
{
    queue.appendAll({QStringLiteral("A"), QStringLiteral("B")});
    state.PageUrl = QStringLiteral("A");
    flow.DownloadFile1Start();
    EXPECT_EQ(queue.entries(), QStringList{QStringLiteral("B")});
    EXPECT_TRUE(flow.transferRunning());
    EXPECT_TRUE(display.ElpsTimer().isActive());
    EXPECT_TRUE(display.EstTimer().isActive());
    // A URL typed by hand over an empty queue: nothing to remove, no error.
    queue.clear();
    EXPECT_NO_THROW(flow.DownloadFile1Start());
}

TEST_F(TransferProgressDisplayTest, AStartedPageMovedOrDeletedDuringItsCountdownCostsNoOtherEntry)
{
    // The page of A counted down while the user moved C to the top and selected B.
    queue.appendAll({QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("B")});
    queue.setSelected(2);
    state.PageUrl = QStringLiteral("A");
    flow.DownloadFile1Start();
    EXPECT_EQ(queue.entries(), (QStringList{QStringLiteral("C"), QStringLiteral("B")}));
    EXPECT_EQ(queue.selected(), 1);
    flow.DownloadFile1Finish();

    // Deleted from the queue, or typed by hand: every entry stays.
    ASSERT_TRUE(runWithinBudget([&] { return !flow.transferRunning() && !download.Busy(); }, 5s));
    state.PageUrl = QStringLiteral("typed");
    queue.replaceAll({QStringLiteral("C"), QStringLiteral("B")});
    flow.DownloadFile1Start();
    EXPECT_EQ(queue.entries(), (QStringList{QStringLiteral("C"), QStringLiteral("B")}));
}

TEST_F(TransferProgressDisplayTest, ProgressShowsSizesShareAndEstimate)
{
    QLocale::setDefault(QLocale::c());
    state.FinalFileName = QStringLiteral("report.zip");
    download.setFileName(QStringLiteral("/downloads/report.zip"));
    flow.DownloadFile1Start();
    state.ElapsedSeconds = 10;
    display.DownloadFile1Progress(1536, 3072);
    EXPECT_EQ(view.fields[Field::Size], QStringLiteral("3.00 MB"));
    EXPECT_EQ(view.fields[Field::Completed], QStringLiteral("1.50 MB"));
    EXPECT_EQ(view.fields[Field::Percent], QStringLiteral("50.00 %"));
    EXPECT_EQ(state.EstimateText, QStringLiteral("0:0:20")); // 3074 × 10 div 1537
    EXPECT_EQ(view.status[0], StatusTexts::downloading.text);
    EXPECT_EQ(view.widths[0], 80);
    EXPECT_EQ(view.status[1], QStringLiteral("50.00 %"));
    EXPECT_EQ(view.status[2], QStringLiteral(" report.zip"));
    EXPECT_EQ(view.widths[2], 55);
}

TEST_F(TransferProgressDisplayTest, TheStatusBarNamesTheFileAsItIsSaved)
{
    state.FinalFileName = QStringLiteral("%E4%B8%AD%E6%96%87.bin");
    download.setFileName(QStringLiteral("/downloads/中文.bin"));
    flow.DownloadFile1Start();
    display.DownloadFile1Progress(1, 2);
    EXPECT_EQ(view.status[2], QStringLiteral(" 中文.bin"));
}

TEST_F(TransferProgressDisplayTest, AResumedTransferEstimatesFromTheBytesItFetchedItself)
{
    // 1 MiB was kept from an earlier try; in 10 s this one fetched 0.5 MiB more of 3 MiB.
    state.ElapsedSeconds = 10;
    service.setScript([](UrlDownloadCallback &callback) {
        callback.onStartBinding();
        callback.onResumed(1024 * 1024);
        callback.onProgress(1536 * 1024, 3072 * 1024);
        callback.onStopBinding(TransferOutcome::done());
        return TransferOutcome::done();
    });
    QString estimate;
    QObject::connect(&display, &TransferProgressDisplay::progressed, &display,
                     [&] { estimate = view.fields[Field::Estimate]; });
    download.setUrlToDownload(QStringLiteral("http://files/a.bin"));
    download.setFileName(QStringLiteral("/tmp/never-written/a.bin"));
    download.Start();
    ASSERT_TRUE(runWithinBudget([&] { return !download.Busy(); }, 5s));
    EXPECT_EQ(state.EstimateText, QStringLiteral("0:0:39")); // (3074 − 1024) × 10 div (1537 − 1024)
    EXPECT_FALSE(estimate.isEmpty());
}

TEST_F(TransferProgressDisplayTest, WithoutATotalOnlyTheReceivedAmountShows)
{
    display.DownloadFile1Progress(3, 0);
    EXPECT_EQ(view.fields[Field::Size], QString());
    EXPECT_EQ(view.fields[Field::Percent], QString());
    EXPECT_EQ(view.status[1], QString());
    EXPECT_FALSE(view.fields[Field::Completed].isEmpty());
}

TEST_F(TransferProgressDisplayTest, AnEstimateOfADayOrMoreNeverFails)
{
    state.ElapsedSeconds = 5;
    EXPECT_NO_THROW(display.DownloadFile1Progress(0, 4'000'000));
    EXPECT_EQ(view.fields[Field::Estimate], QStringLiteral("5555:33:30"));
    EXPECT_TRUE(view.errors.isEmpty());
}

TEST_F(TransferProgressDisplayTest, EachEstimateTickCountsFiveSeconds)
{
    QLocale::setDefault(QLocale::c());
    // Half the file in 10 seconds: 10 more to go (the counts carry their +2 and +1).
    EXPECT_EQ(estimateAfterTicks(2), durationText(20));
    EXPECT_EQ(elapsedAtProgress, 10);
}

TEST_F(TransferProgressDisplayTest, TheNextFilesEstimateCountsOnlyItsOwnTime)
{
    QLocale::setDefault(QLocale::c());
    estimateAfterTicks(3);
    EXPECT_EQ(estimateAfterTicks(1), durationText(10));
    EXPECT_EQ(elapsedAtProgress, 5);
}

TEST_F(TransferProgressDisplayTest, ElapsedTimeAcrossMidnightIsTheTrueTime)
{
    clock.set(1.0 - 5 * second);
    flow.DownloadFile1Start();
    clock.set(7 * second);
    display.ElpsTimerTimer();
    EXPECT_NEAR(state.ElapsedTime, 12 * second, 1e-9);
}

TEST_F(TransferProgressDisplayTest, TheLastFinishedFileEndsInThePowerOffCheck)
{
    armPowerOff();
    queue.append(QStringLiteral("http://host/page"));
    queue.showHead();
    runTransfer(TransferOutcome::done());
    EXPECT_EQ(queue.count(), 0);
    EXPECT_TRUE(queue.currentUrl().isEmpty());
    EXPECT_FALSE(flow.transferRunning());
    EXPECT_EQ(view.status[0], StatusTexts::noMoreUrls.text);
    EXPECT_EQ(view.widths[0], 125);
    EXPECT_TRUE(shutdown.countdown().isRunning());
    EXPECT_TRUE(view.fields[Field::Size].isEmpty());
}

TEST_F(TransferProgressDisplayTest, AFinishedFileOpensTheNextPage)
{
    queue.appendAll({QStringLiteral("http://host/a"), QStringLiteral("http://host/b")});
    queue.showHead();
    runTransfer(TransferOutcome::done());
    EXPECT_EQ(queue.entries(), QStringList{QStringLiteral("http://host/b")});
    EXPECT_EQ(browser.navigated, QStringList{QStringLiteral("http://host/b")});
}

TEST_F(TransferProgressDisplayTest, AFailedFileGoesBackAndIsNotRetriedUnasked)
{
    armPowerOff();
    state.FinalFileName = QStringLiteral("a.bin");
    queue.appendAll({QStringLiteral("http://host/a"), QStringLiteral("http://host/b")});
    queue.showHead();
    runTransfer(TransferOutcome::failed(QStringLiteral("HTTP 500")));
    EXPECT_EQ(queue.entries(), (QStringList{QStringLiteral("http://host/b"), QStringLiteral("http://host/a")}));
    EXPECT_EQ(browser.navigated, QStringList{QStringLiteral("http://host/b")});
    EXPECT_EQ(view.status[0], StatusTexts::downloadFailed.text);
    EXPECT_EQ(view.status[2], QStringLiteral(" a.bin - HTTP 500"));

    // b's page loads and its file finishes; a, already failed, is at the head: the flow rests
    // there, with no power-off.
    emit browser.downloadComplete();
    runTransfer(TransferOutcome::done());
    EXPECT_EQ(queue.entries(), QStringList{QStringLiteral("http://host/a")});
    EXPECT_EQ(queue.currentUrl(), QStringLiteral("http://host/a"));
    EXPECT_EQ(browser.navigated.size(), 1);
    EXPECT_TRUE(flow.isAtRest());
    EXPECT_FALSE(shutdown.countdown().isRunning());
    EXPECT_EQ(view.status[0], StatusTexts::restingAtFailures(1).text);

    // The user's start tries it again.
    flow.StartDownload1Click();
    EXPECT_EQ(browser.navigated.last(), QStringLiteral("http://host/a"));
}

TEST_F(TransferProgressDisplayTest, ACancelledFileIsNotAFailure)
{
    queue.appendAll({QStringLiteral("http://host/a"), QStringLiteral("http://host/b")});
    queue.showHead();
    runTransfer(TransferOutcome::cancelled());
    EXPECT_EQ(queue.entries(), QStringList{QStringLiteral("http://host/b")});
    EXPECT_NE(view.status[0], StatusTexts::downloadFailed.text);
}

TEST_F(TransferProgressDisplayTest, OneStartRetriesEveryFailedEntry)
{
    queue.appendAll({QStringLiteral("http://host/a"), QStringLiteral("http://host/b")});
    queue.showHead();
    runTransfer(TransferOutcome::failed(QStringLiteral("HTTP 500")));
    emit browser.downloadComplete();
    runTransfer(TransferOutcome::failed(QStringLiteral("HTTP 500")), QStringLiteral("b.bin"));
    // Both failed: the run rests at a and says so; b's fresh failure is not a's.
    EXPECT_EQ(queue.entries(), (QStringList{QStringLiteral("http://host/a"), QStringLiteral("http://host/b")}));
    EXPECT_EQ(view.status[0], StatusTexts::restingAtFailures(2).text);
    EXPECT_EQ(view.status[0], QStringLiteral(" 2 个下载失败 - 开始下载将重试 "));
    EXPECT_EQ(view.widths[0], 5 * 31);
    EXPECT_EQ(browser.navigated.size(), 1);

    // One press: a is fetched, and the run goes on to b instead of resting there.
    flow.StartDownload1Click();
    EXPECT_EQ(browser.navigated.last(), QStringLiteral("http://host/a"));
    emit browser.downloadComplete();
    runTransfer(TransferOutcome::done());
    EXPECT_EQ(browser.navigated.last(), QStringLiteral("http://host/b"));
    EXPECT_EQ(queue.entries(), QStringList{QStringLiteral("http://host/b")});
}

TEST_F(TransferProgressDisplayTest, TheEndOfTheQueueSaysWhetherFilesArrived)
{
    armPowerOff();
    queue.append(QStringLiteral("http://host/a"));
    queue.showHead();
    runTransfer(TransferOutcome::cancelled());
    ASSERT_TRUE(shutdown.countdown().isRunning());
    EXPECT_NE(shutdown.countdown().reason(), ShutdownSwitch::reasonText(ShutdownSwitch::RunEnd::DownloadsCompleted));
    shutdown.countdown().withdraw();

    queue.append(QStringLiteral("http://host/b"));
    queue.showHead();
    runTransfer(TransferOutcome::done());
    ASSERT_TRUE(shutdown.countdown().isRunning());
    EXPECT_EQ(shutdown.countdown().reason(), QStringLiteral("下载已完成"));
}
