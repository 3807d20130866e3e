// SPDX-License-Identifier: MIT
#include "common/QuorvelError.h"
#include "tests/support/Budget.h"
#include "tests/transfer/EventLog.h"
#include "tests/support/ScriptedService.h"
#include "transfer/DownloadThread.h"
#include "transfer/TDownloadFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <thread>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {
// Reports until it is told to abort: keeps a component busy for as long as a test needs.
TransferOutcome untilCancelled(UrlDownloadCallback &callback)
{
    callback.onStartBinding();
    while (!callback.onProgress(0, 0))
        std::this_thread::sleep_for(5ms);
    callback.onStopBinding(TransferOutcome::cancelled());
    return TransferOutcome::cancelled();
}

class ScriptedTest : public ::testing::Test
{
protected:
    void TearDown() override { EXPECT_TRUE(DownloadThread::waitForWorkers(5s)); }

    void start()
    {
        component.setUrlToDownload(QStringLiteral("http://127.0.0.1:9/file"));
        component.setFileName(QStringLiteral("/nonexistent/file"));
        component.Start();
    }
    bool runUntilFinished() { return runWithinBudget([this] { return log.finished(); }, 10s); }

    ScriptedService service{untilCancelled};
    TDownloadFile component{service};
    EventLog log{component};
};

struct Misuse
{
    ErrorCode code;
    QObject *sender;
    QString message;
};

TEST_F(ScriptedTest, MisuseIsReportedWithItsCodeAndMessageBusyFirst)
{
    std::vector<Misuse> misuses;
    component.setOnError([&](QObject *Sender, ErrorCode ECode, QString Msg) { misuses.push_back({ECode, Sender, Msg}); });
    const auto expectOnly = [&](ErrorCode code, const char *message) {
        ASSERT_EQ(misuses.size(), 1u);
        EXPECT_EQ(misuses[0].code, code);
        EXPECT_EQ(misuses[0].sender, &component);
        EXPECT_EQ(misuses[0].message, QString::fromUtf8(message));
        misuses.clear();
    };

    component.setUrlToDownload(QStringLiteral("http://127.0.0.1:9/file"));
    component.Start();
    expectOnly(ecNotSpecified, "A URL de origem e/ou o local de destino não foi especificado.");
    component.setUrlToDownload(QString());
    component.setFileName(QStringLiteral("/tmp/file"));
    component.Start();
    expectOnly(ecNotSpecified, "A URL de origem e/ou o local de destino não foi especificado.");
    component.Stop();
    expectOnly(ecNoDownload, "Nenhum download está ativo!");

    start();
    component.setUrlToDownload(QString());
    component.Start();
    expectOnly(ecBusy, "O aplicativo está ocupado!");

    component.Stop();
    EXPECT_TRUE(misuses.empty());
    ASSERT_TRUE(runUntilFinished());
    EXPECT_TRUE(log.events.back().canceled);
}

TEST_F(ScriptedTest, ABusyProgressHandlerNeverHoldsTheWorkerWhileStartAndFinishDo)
{
    std::atomic<int> progressHandled{0};
    std::atomic<int> endsHandled{0};
    std::vector<int> handledWhenServiceWentOn;
    int endsWhenServiceWentOn = 0;
    service.setScript([&](UrlDownloadCallback &callback) {
        callback.onStartBinding();
        endsWhenServiceWentOn = endsHandled;
        for (std::uint64_t i = 1; i <= 5; ++i) {
            callback.onProgress(i * 1024, 5 * 1024);
            handledWhenServiceWentOn.push_back(progressHandled);
        }
        callback.onStopBinding(TransferOutcome::done());
        endsWhenServiceWentOn += endsHandled;
        return TransferOutcome::done();
    });
    log.then = [&](const EventLog::Event &event) {
        if (event.kind != EventLog::Event::Progress) {
            ++endsHandled;
            return;
        }
        QThread::msleep(50);
        ++progressHandled;
    };
    start();
    ASSERT_TRUE(runUntilFinished());
    // The worker counts the finish after its hand-off returns, which may be after it is logged.
    ASSERT_TRUE(DownloadThread::waitForWorkers(5s));

    log.expectWellFormed(&component);
    EXPECT_LT(handledWhenServiceWentOn.back(), 5) << "each report waited for its handler";
    EXPECT_EQ(endsWhenServiceWentOn, 1 + 2) << "the start and the finish are handled before the worker goes on";
    // Reports that came while one was handled are one, with the latest figures, before the finish.
    const auto progress = std::count_if(log.events.begin(), log.events.end(),
                                        [](const EventLog::Event &e) { return e.kind == EventLog::Event::Progress; });
    EXPECT_LT(progress, 5);
    ASSERT_GE(log.events.size(), 3u);
    EXPECT_EQ(log.events[log.events.size() - 2].received, 5u);
}

TEST_F(ScriptedTest, ReportsWakeTheUiThreadAtABoundedRateAndOneAfterAPauseAtOnce)
{
    using Clock = std::chrono::steady_clock;
    constexpr std::uint32_t afterThePause = 1u << 20;
    std::atomic<bool> pausedOneShown{false};
    bool shownBeforeTheFinish = false;
    Clock::duration reporting{};
    service.setScript([&](UrlDownloadCallback &callback) {
        callback.onStartBinding();
        const auto began = Clock::now();
        for (std::uint64_t kiB = 1; Clock::now() - began < 300ms; ++kiB) {
            callback.onProgress(kiB << 10, 0);
            std::this_thread::sleep_for(100us);
        }
        reporting = Clock::now() - began;
        std::this_thread::sleep_for(60ms);
        callback.onProgress(std::uint64_t(afterThePause) << 10, 0);
        for (const auto waited = Clock::now(); !pausedOneShown && Clock::now() - waited < 2s;)
            std::this_thread::sleep_for(1ms);
        shownBeforeTheFinish = pausedOneShown;
        callback.onStopBinding(TransferOutcome::done());
        return TransferOutcome::done();
    });
    log.then = [&](const EventLog::Event &event) {
        if (event.kind == EventLog::Event::Progress && event.received == afterThePause)
            pausedOneShown = true;
    };
    start();
    ASSERT_TRUE(runUntilFinished());

    log.expectWellFormed(&component);
    EXPECT_TRUE(shownBeforeTheFinish);
    const auto shownWhileReporting = std::count_if(log.events.begin(), log.events.end(), [&](const EventLog::Event &e) {
        return e.kind == EventLog::Event::Progress && e.received != afterThePause;
    });
    // Thousands came; the first is shown at once and then one each 50 ms.
    EXPECT_LE(shownWhileReporting, reporting / 50ms + 1);
}

class CarelessServiceTest : public ScriptedTest,
                            public ::testing::WithParamInterface<std::pair<const char *, ScriptedService::Script>>
{
protected:
    void SetUp() override { service.setScript(GetParam().second); }
};

TEST_P(CarelessServiceTest, StillGivesOneStartAndOneFinish)
{
    start();
    ASSERT_TRUE(runUntilFinished());
    runWithinBudget([] { return false; }, 50ms);
    log.expectWellFormed(&component);
    EXPECT_FALSE(log.events.back().canceled);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, CarelessServiceTest,
    ::testing::Values(
        std::pair<const char *, ScriptedService::Script>{
            "NeverReportsItsEnd", [](UrlDownloadCallback &callback) {
                callback.onStartBinding();
                return TransferOutcome::done();
            }},
        std::pair<const char *, ScriptedService::Script>{
            "ReportsTwiceAndLate", [](UrlDownloadCallback &callback) {
                callback.onStopBinding(TransferOutcome::failed(QStringLiteral("first")));
                callback.onProgress(10, 20);
                callback.onStartBinding();
                callback.onStopBinding(TransferOutcome::done());
                return TransferOutcome::done();
            }}),
    [](const auto &info) { return std::string(info.param.first); });

TEST_F(ScriptedTest, ThrowingServiceFinishesWithItsMessageAsTheReason)
{
    service.setScript([](UrlDownloadCallback &) -> TransferOutcome { throw QuorvelError(QStringLiteral("磁盘已满")); });
    start();
    ASSERT_TRUE(runUntilFinished());
    log.expectWellFormed(&component);
    EXPECT_EQ(component.lastOutcome()->kind, TransferOutcome::Kind::Failed);
    EXPECT_EQ(component.lastOutcome()->reason, QStringLiteral("磁盘已满"));
}

TEST_F(ScriptedTest, HandlerErrorsAreReportedAndTheTransferGoesOn)
{
    QStringList reported;
    component.setErrorReporter([&](const QString &message) { reported << message; });
    log.then = [&](const EventLog::Event &event) {
        if (event.kind == EventLog::Event::Start)
            throw QuorvelError(QStringLiteral("在范围外的名单索引 (0)"));
        if (event.kind == EventLog::Event::Progress && reported.size() == 1)
            throw std::invalid_argument("not a time");
        if (event.kind == EventLog::Event::Finish)
            throw 42;
    };
    start();
    ASSERT_TRUE(runWithinBudget([&] { return reported.size() == 2; }, 10s));
    component.Stop();
    ASSERT_TRUE(runUntilFinished());

    EXPECT_EQ(reported, (QStringList{QStringLiteral("在范围外的名单索引 (0)"), QStringLiteral("not a time"),
                                     QStringLiteral("未知错误")}));
    EXPECT_FALSE(component.Busy());
}

TEST_F(ScriptedTest, LateStopStillReportsCanceledButTheOutcomeIsDone)
{
    std::atomic<bool> stopped{false};
    service.setScript([&](UrlDownloadCallback &callback) {
        callback.onStartBinding();
        callback.onProgress(4096, 4096);
        while (!stopped)
            std::this_thread::sleep_for(1ms);
        callback.onStopBinding(TransferOutcome::done());
        return TransferOutcome::done();
    });
    log.then = [&](const EventLog::Event &event) {
        if (event.kind == EventLog::Event::Progress) {
            component.Stop();
            stopped = true;
        }
    };
    start();
    ASSERT_TRUE(runUntilFinished());

    EXPECT_TRUE(log.events.back().canceled);
    EXPECT_EQ(component.lastOutcome()->kind, TransferOutcome::Kind::Done);
}
}

namespace {
TEST_F(ScriptedTest, ResumedBytesBelongToTheirOwnTransferOnly)
{
    std::vector<std::uint32_t> seen;
    std::vector<std::uint32_t> seenAtStart;
    component.setOnStart([&](QObject *) { seenAtStart.push_back(component.ResumedKiB()); });
    component.setOnProgress([&](QObject *, std::uint32_t, std::uint32_t) { seen.push_back(component.ResumedKiB()); });
    const auto transfer = [this](bool resumed) {
        service.setScript([resumed](UrlDownloadCallback &callback) {
            callback.onStartBinding();
            if (resumed)
                callback.onResumed(512 * 1024);
            callback.onProgress(600 * 1024, 1000 * 1024);
            callback.onStopBinding(TransferOutcome::done());
            return TransferOutcome::done();
        });
        start();
        ASSERT_TRUE(runWithinBudget([this] { return !component.Busy(); }, 10s));
    };
    transfer(true);
    transfer(false);
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{512, 0}));
    EXPECT_EQ(seenAtStart, (std::vector<std::uint32_t>{0, 0})) << "the last transfer's count before the first progress";

    component.discardPartial(QStringLiteral("/data/a.bin"));
    EXPECT_EQ(service.discarded, QStringList{QStringLiteral("/data/a.bin")});
}

TEST_F(ScriptedTest, TheNameTheServiceSavesUnderReachesTheOwnerAndGoesWithItsTransfer)
{
    std::vector<QString> seen;
    const auto saw = [&](const char *when) {
        return [&, when](auto...) { seen.push_back(QString::fromUtf8(when) + u' ' + component.savedFileName()); };
    };
    component.setOnStart(saw("start"));
    component.setOnProgress(saw("progress"));
    component.setOnFinish(saw("finish"));
    const auto transfer = [this](bool nameTaken) {
        service.setScript([nameTaken](UrlDownloadCallback &callback) {
            callback.onStartBinding();
            if (nameTaken)
                callback.onSavingAs(QStringLiteral("/nonexistent/file (1)"));
            callback.onProgress(600 * 1024, 1000 * 1024);
            // Taken meanwhile too: the outcome has the last word.
            TransferOutcome done = TransferOutcome::done();
            done.savedAs = nameTaken ? QStringLiteral("/nonexistent/file (2)") : QString();
            callback.onStopBinding(done);
            return done;
        });
        start();
        ASSERT_TRUE(runWithinBudget([this] { return !component.Busy(); }, 10s));
    };
    transfer(true);
    transfer(false);
    EXPECT_EQ(seen,
              (std::vector<QString>{u"start /nonexistent/file"_s, u"progress /nonexistent/file (1)"_s,
                                    u"finish /nonexistent/file (2)"_s, u"start /nonexistent/file"_s,
                                    u"progress /nonexistent/file"_s, u"finish /nonexistent/file"_s}));
}
} // namespace
