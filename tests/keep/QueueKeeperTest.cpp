// SPDX-License-Identifier: MIT
#include "keep/QueueKeeper.h"
#include "tests/flow/FlowFixture.h"
#include "tests/support/FakeStateFile.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

using State = DownloadEntry::State;

DownloadEntry entry(DownloadEntry::Id id, const QString &url, State state)
{
    DownloadEntry made;
    made.id = id;
    made.url = url;
    made.state = state;
    return made;
}

class QueueKeeperTest : public FlowFixture
{
protected:
    KeptQueue saved()
    {
        keeper.flush();
        const KeptQueueText::Reading reading = KeptQueueText::read(file.content().value_or(QByteArray()));
        EXPECT_TRUE(reading.unreadable.isEmpty());
        return reading.kept;
    }

    const PartialFile part{u"/dl/cut.bin"_s, u"/dl/cut.bin.quorvel-abc123.part"_s, "\"v1\"", 9000};
    FakeStateFile file;
    QueueKeeper keeper{session, service, file, QueueKeeper::Keeps::QueueAndHistory};
};

} // namespace

TEST_F(QueueKeeperTest, AtStartTheCutTransferLeadsTheRestoredQueueWithItsPartAndTheHistoryIsBack)
{
    KeptQueue kept;
    DownloadEntry cut = entry(1, u"http://h/cut"_s, State::Active);
    cut.part = part;
    kept.active = {cut};
    kept.queue = {entry(2, u"http://h/waiting"_s, State::Waiting), entry(3, u"http://h/failed"_s, State::Failed)};
    kept.history = {entry(4, u"http://h/done"_s, State::Done)};
    file.setContent(KeptQueueText::write(kept));

    EXPECT_EQ(keeper.restore(u"/home/user/Quorvel/Downloads"_s), u"已恢复 3 个下载"_s);
    ASSERT_EQ(queue.count(), 3);
    EXPECT_EQ(queue.entryList()[0].id, 1u);
    EXPECT_EQ(queue.entryList()[0].state, State::Waiting);
    EXPECT_EQ(queue.entryList()[2].state, State::Failed);
    EXPECT_EQ(queue.currentUrl(), u"http://h/cut"_s) << "a start goes on with the cut transfer";
    ASSERT_EQ(session.history().count(), 1);
    EXPECT_EQ(session.history().at(0).id, 4u);
    EXPECT_EQ(service.adopted, QList<PartialFile>{part});
    EXPECT_EQ(QSet<QString>(service.swept.cbegin(), service.swept.cend()),
              (QSet<QString>{u"/home/user/Quorvel/Downloads"_s, u"/dl"_s}));
    EXPECT_TRUE(service.keepsPartsAtExit);
    EXPECT_TRUE(flow.isAtRest()) << "a restored queue does not start by itself";
    keeper.flush();
    EXPECT_EQ(file.replaces, 0) << "the file already holds what was restored";
}

TEST_F(QueueKeeperTest, TheEntryWhoseFileIsOnItsWayIsSavedWithItsPartUntilItIsDone)
{
    ASSERT_TRUE(keeper.restore(u"/dl"_s).isEmpty());
    queue.appendAll({u"http://h/a"_s, u"http://h/b"_s});
    queue.showHead();
    std::atomic<bool> go = false;
    service.setScript([&go, this](UrlDownloadCallback &callback) {
        callback.onStartBinding();
        callback.onResumable(part);
        callback.onProgress(1000, 9000);
        while (!go)
            QThread::msleep(1);
        callback.onStopBinding(TransferOutcome::done());
        return TransferOutcome::done();
    });
    state.PageUrl = queue.currentUrl();
    download.setUrlToDownload(u"http://files/cut.bin"_s);
    download.setFileName(u"/dl/cut.bin"_s);
    download.Start();
    ASSERT_TRUE(runWithinBudget([this] { return flow.transferEntry() && flow.transferEntry()->part; }, 5s));

    const KeptQueue during = saved();
    ASSERT_EQ(during.queue.size(), 2) << "out of the queue, but not lost";
    EXPECT_EQ(during.queue[0].url, u"http://h/a"_s);
    EXPECT_EQ(during.queue[0].part, part);

    go = true;
    ASSERT_TRUE(runWithinBudget([this] { return !flow.transferRunning(); }, 5s));
    const KeptQueue after = saved();
    ASSERT_EQ(after.history.size(), 1);
    EXPECT_EQ(after.history[0].state, State::Done);
    EXPECT_FALSE(after.history[0].part.has_value());
    for (const DownloadEntry &left : after.queue)
        EXPECT_NE(left.url, u"http://h/a"_s) << "done, and still queued";
}
