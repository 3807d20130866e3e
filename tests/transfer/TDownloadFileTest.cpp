// SPDX-License-Identifier: MIT
#include "platform/download/CurlUrlDownloadService.h"
#include "platform/net/CurlSession.h"
#include "tests/support/Budget.h"
#include "tests/platform/download/FileServer.h"
#include "tests/transfer/EventLog.h"
#include "transfer/DownloadThread.h"
#include "transfer/TDownloadFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace std::chrono_literals;

namespace {
class TDownloadFileTest : public ::testing::Test
{
protected:
    void TearDown() override { EXPECT_TRUE(DownloadThread::waitForWorkers(5s)) << "a worker outlived its test"; }

    void startFetch(const std::string &path)
    {
        component->setUrlToDownload(QString::fromStdString(server.url(path)));
        component->setFileName(target());
        component->Start();
    }

    bool runUntilFinished() { return runWithinBudget([this] { return log.finished(); }, 20s); }

    QString target() const { return dir.filePath(QStringLiteral("file.bin")); }
    QStringList filesLeft() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    FileServer server;
    CurlSession session;
    CurlUrlDownloadService service{session};
    QTemporaryDir dir;
    std::unique_ptr<TDownloadFile> component = std::make_unique<TDownloadFile>(service);
    EventLog log{*component};
    std::vector<ErrorCode> errors;
};

struct Fetch
{
    std::string path;
    std::uint32_t sizeKiB;
    std::uint32_t totalKiB;
};

class TransferEventsTest : public TDownloadFileTest, public ::testing::WithParamInterface<Fetch>
{
};

TEST_P(TransferEventsTest, ArriveInOrderOnTheUiThreadInKiB)
{
    startFetch(GetParam().path);
    ASSERT_TRUE(runUntilFinished());

    log.expectWellFormed(component.get());
    EXPECT_FALSE(log.events.back().canceled);
    ASSERT_TRUE(component->lastOutcome());
    EXPECT_EQ(component->lastOutcome()->kind, TransferOutcome::Kind::Done);
    const auto &last = log.events[log.events.size() - 2];
    EXPECT_EQ(last.received, GetParam().sizeKiB);
    for (std::size_t i = 1; i + 1 < log.events.size(); ++i)
        EXPECT_TRUE(log.events[i].total == GetParam().totalKiB || log.events[i].received == 0);
    EXPECT_EQ(last.total, GetParam().totalKiB);
    EXPECT_EQ(filesLeft(), QStringList{QStringLiteral("file.bin")});
}

INSTANTIATE_TEST_SUITE_P(Files, TransferEventsTest,
                         ::testing::Values(Fetch{"/file/1500000", 1464, 1464},
                                           Fetch{"/chunked/300000", 292, 0},
                                           Fetch{"/file/1023", 0, 0}));

TEST_F(TDownloadFileTest, FailedTransferFinishesUncanceledWithItsReasonInTheOutcome)
{
    startFetch("/status/404");
    ASSERT_TRUE(runUntilFinished());
    log.expectWellFormed(component.get());
    EXPECT_FALSE(log.events.back().canceled);
    EXPECT_EQ(component->lastOutcome()->kind, TransferOutcome::Kind::Failed);
    EXPECT_EQ(component->lastOutcome()->reason, QStringLiteral("HTTP 404"));
    EXPECT_TRUE(filesLeft().isEmpty());
}

TEST_F(TDownloadFileTest, StopHalfwayCancelsAndStaysBusyUntilTheFinish)
{
    component->setOnError([this](QObject *, ErrorCode code, QString) { errors.push_back(code); });
    log.then = [this](const EventLog::Event &event) {
        if (event.kind == EventLog::Event::Progress && event.received > 0 && errors.empty()) {
            component->Stop();
            component->Start();
        }
    };
    startFetch("/slow/4194304");
    ASSERT_TRUE(runUntilFinished());

    EXPECT_EQ(errors, std::vector<ErrorCode>{ecBusy});
    EXPECT_TRUE(log.events.back().canceled);
    EXPECT_EQ(component->lastOutcome()->kind, TransferOutcome::Kind::Cancelled);
    EXPECT_TRUE(filesLeft().isEmpty());
}

TEST_F(TDownloadFileTest, StartFromInsideOnFinishIsBusyAndTheComponentIsIdleAfter)
{
    component->setOnError([this](QObject *, ErrorCode code, QString) { errors.push_back(code); });
    log.then = [this](const EventLog::Event &event) {
        if (event.kind == EventLog::Event::Finish)
            component->Start();
    };
    startFetch("/file/100");
    ASSERT_TRUE(runUntilFinished());
    EXPECT_EQ(errors, std::vector<ErrorCode>{ecBusy});

    component->Stop();
    EXPECT_EQ(errors, (std::vector<ErrorCode>{ecBusy, ecNoDownload}));
}

TEST_F(TDownloadFileTest, DestroyedInsideItsOwnHandlerGetsNoMoreEvents)
{
    log.then = [this](const EventLog::Event &event) {
        if (event.kind == EventLog::Event::Progress && event.received > 0)
            component.reset();
    };
    startFetch("/slow/4194304");
    ASSERT_TRUE(runWithinBudget([this] { return !component; }, 20s));
    const auto eventsAtDestruction = log.events.size();

    ASSERT_TRUE(runWithinBudget([] { return DownloadThread::waitForWorkers(0ms); }, 5s));
    QCoreApplication::processEvents();
    EXPECT_EQ(log.events.size(), eventsAtDestruction);
    EXPECT_TRUE(filesLeft().isEmpty());
}

TEST_F(TDownloadFileTest, ExitWaitsForAWorkerBlockedOnADestroyedOwnerWithoutRunningEvents)
{
    startFetch("/slow/4194304");
    // The worker is now waiting for the UI thread to run OnStart, which it never does.
    QThread::msleep(300);
    component.reset();
    EXPECT_TRUE(DownloadThread::waitForWorkers(2s));

    QCoreApplication::processEvents();
    EXPECT_TRUE(log.events.empty());
    EXPECT_TRUE(filesLeft().isEmpty());
}
}
