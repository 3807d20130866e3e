// SPDX-License-Identifier: MIT
#include "tests/flow/FlowFixture.h"

#include "common/QuorvelError.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>

using namespace std::chrono_literals;

namespace {
const QString missingPage =
    QStringLiteral("<p>The file could not be found. Please check the download link.</p>");
} // namespace

class DownloadSessionTest : public FlowFixture
{
protected:
    DownloadSessionTest()
    {
        QObject::connect(&session, &DownloadSession::cameToRest, &session,
                         [this](RestReason reason) { rests.push_back(reason); });
    }

    /** Lets the events of the moment run, as the event loop would after a handler. */
    void settle() { runWithinBudget([] { return false; }, 20ms); }

    void startAt(const QStringList &urls)
    {
        queue.appendAll(urls);
        queue.showHead();
        flow.StartDownload1Click();
    }

    /** The browser's load ends and its page arrives, in the engine's order. */
    void finishLoad(const QString &html)
    {
        emit browser.downloadComplete();
        loadPage(html);
    }

    DownloadHistory &history() { return session.history(); }

    std::vector<RestReason> rests;
};

TEST_F(DownloadSessionTest, TheLastMissingFileBringsTheRunToRestOnceAsDone)
{
    startAt({QStringLiteral("http://host/a")});
    finishLoad(missingPage);
    settle();
    EXPECT_EQ(rests, std::vector<RestReason>{RestReason::QueueDone});
}

TEST_F(DownloadSessionTest, AMissingFileWithMoreToComeIsNoRest)
{
    startAt({QStringLiteral("http://host/a"), QStringLiteral("http://host/b")});
    finishLoad(missingPage);
    settle();
    EXPECT_TRUE(rests.empty());
}

TEST_F(DownloadSessionTest, APageNoReaderKnowsIsNoRestUntilItsRetriesAreSpent)
{
    startAt({QStringLiteral("http://host/a")});
    finishLoad(QStringLiteral("<p>Maintenance</p>"));
    settle();
    EXPECT_TRUE(rests.empty());
    // Three more tries, a minute and then two apart.
    for (const int wait : {60, 120, 120}) {
        ASSERT_TRUE(flow.retryWait().isActive());
        clock.set(clock.timeOfDay() + wait * second);
        flow.retryWait().tick();
        finishLoad(QStringLiteral("<p>Maintenance</p>"));
    }
    settle();
    EXPECT_EQ(rests, std::vector<RestReason>{RestReason::RestingAtFailure});
}

TEST_F(DownloadSessionTest, APressedFreeUserButtonIsNoRestWhileItsPageLoads)
{
    startAt({QStringLiteral("http://host/a")});
    // The engine says that a navigation began only through a queued event, after the handler.
    QStringList clicks;
    auto document = std::make_shared<FakePageDocument>();
    document->body = QStringLiteral("<form>x</form>");
    document->addForm({{QStringLiteral("free"), QStringLiteral("Free user")}}, clicks);
    document->forms.front()->elements.front()->onClick = [this] {
        QMetaObject::invokeMethod(
            &browser, [this] { emit browser.beforeNavigate(QStringLiteral("http://host/a")); }, Qt::QueuedConnection);
    };
    emit browser.downloadComplete();
    browser.current = document;
    emit browser.documentComplete(document->url());
    settle();
    EXPECT_EQ(clicks, QStringList{QStringLiteral("free")});
    EXPECT_TRUE(rests.empty());
}

TEST_F(DownloadSessionTest, ACountdownOrAWaitIsNoRestAndAStopIs)
{
    startAt({QStringLiteral("http://host/a")});
    finishLoad(QStringLiteral("Or try again in about 2 minutes."));
    settle();
    EXPECT_TRUE(rests.empty());
    flow.StopDownExecute();
    settle();
    EXPECT_EQ(rests, std::vector<RestReason>{RestReason::Stopped});
}

TEST_F(DownloadSessionTest, AnEmptyStartIsDone)
{
    flow.StartDownload1Click();
    settle();
    EXPECT_EQ(rests, std::vector<RestReason>{RestReason::QueueDone});
}

TEST_F(DownloadSessionTest, ARunAtAFailedUrlRestsThere)
{
    state.FinalFileName = QStringLiteral("a.bin");
    queue.appendAll({QStringLiteral("http://host/a"), QStringLiteral("http://host/b")});
    queue.showHead();
    service.setScript([](UrlDownloadCallback &callback) {
        callback.onStartBinding();
        callback.onStopBinding(TransferOutcome::failed(QStringLiteral("HTTP 500")));
        return TransferOutcome::failed(QStringLiteral("HTTP 500"));
    });
    state.PageUrl = QStringLiteral("http://host/a");
    download.setUrlToDownload(QStringLiteral("http://files/a.bin"));
    download.setFileName(QStringLiteral("/tmp/never-written/a.bin"));
    download.Start();
    ASSERT_TRUE(runWithinBudget([&] { return !session.transferRunning() && !download.Busy(); }, 5s));
    // b opens; its file goes through too; then a, which failed, is at the head.
    service.setScript([](UrlDownloadCallback &callback) {
        callback.onStartBinding();
        callback.onStopBinding(TransferOutcome::done());
        return TransferOutcome::done();
    });
    emit browser.downloadComplete();
    state.PageUrl = QStringLiteral("http://host/b");
    download.Start();
    ASSERT_TRUE(runWithinBudget([&] { return !rests.empty(); }, 5s));
    EXPECT_EQ(rests, std::vector<RestReason>{RestReason::RestingAtFailure});
}

TEST_F(DownloadSessionTest, TheWiringIsTheSessions)
{
    // The power-off check sees the transfer through the session: no countdown while a file is
    // being fetched, one as soon as none is.
    armPowerOff();
    std::atomic<bool> go = false;
    service.setScript(ScriptedService::doneOnceReleased(go));
    download.setUrlToDownload(QStringLiteral("http://files/a.bin"));
    download.setFileName(QStringLiteral("/tmp/never-written/a.bin"));
    download.Start();
    ASSERT_TRUE(runWithinBudget([&] { return session.transferRunning(); }, 5s));
    shutdown.CheckShutDown(ShutdownSwitch::RunEnd::DownloadsCompleted);
    EXPECT_FALSE(shutdown.countdown().isRunning());
    go = true;
    ASSERT_TRUE(runWithinBudget([&] { return !download.Busy(); }, 5s));
    EXPECT_FALSE(session.transferRunning());
    shutdown.CheckShutDown(ShutdownSwitch::RunEnd::DownloadsCompleted);
    EXPECT_TRUE(shutdown.countdown().isRunning());
    shutdown.workStarted();

    // The download component's unhandled errors reach the view.
    download.setOnFinish([](QObject *, bool) { throw QuorvelError(QStringLiteral("结束处理出错")); });
    download.setUrlToDownload(QStringLiteral("http://files/a.bin"));
    download.setFileName(QStringLiteral("/tmp/never-written/a.bin"));
    download.Start();
    ASSERT_TRUE(runWithinBudget([&] { return !download.Busy(); }, 5s));
    EXPECT_EQ(view.errors, QStringList{QStringLiteral("结束处理出错")});
    EXPECT_EQ(download.objectName(), QStringLiteral("DownloadFile1"));
}

TEST_F(DownloadSessionTest, TheCommandRunsAfterAFileArrivesAndItsEndJoinsTheFilesRecordOnly)
{
    QTemporaryDir folder;
    const QString log = folder.filePath(QStringLiteral("log"));
    QFile script(folder.filePath(QStringLiteral("done.sh")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"$(dirname \"$0\")/log\"\nexit 4\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    session.setOnDownloadComplete(script.fileName());

    queue.appendAll({QStringLiteral("http://host/a"), QStringLiteral("http://host/b")});
    queue.showHead();
    const DownloadEntry::Id a = queue.idAt(0);
    const DownloadEntry::Id b = queue.idAt(1);
    runTransfer(TransferOutcome::done(), QStringLiteral("a.bin"));
    runTransfer(TransferOutcome::failed(QStringLiteral("HTTP 403")), QStringLiteral("b.bin"));
    ASSERT_TRUE(runWithinBudget([&] { return !session.completionCommand().isBusy(); }, 10s));

    EXPECT_EQ(history().at(history().indexOf(a)).state, DownloadEntry::State::Done);
    const std::optional<CommandRecord> &command = history().at(history().indexOf(a)).command;
    ASSERT_TRUE(command);
    // A failing command is said in the record; the file stays done.
    EXPECT_EQ(command->result, QStringLiteral("退出码 4"));
    EXPECT_EQ(history().at(history().indexOf(b)).state, DownloadEntry::State::Failed);
    EXPECT_FALSE(history().at(history().indexOf(b)).command);
    QFile written(log);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(written.readAll()),
              DownloadEntry::idText(a) + QStringLiteral("\n1\n/tmp/never-written/a.bin\n"));
}
