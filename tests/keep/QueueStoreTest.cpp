// SPDX-License-Identifier: MIT
#include "keep/QueueStore.h"
#include "platform/keep/LocalStateFile.h"
#include "tests/support/Budget.h"
#include "tests/support/FakeStateFile.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

class QueueStoreTest : public ::testing::Test
{
protected:
    /** The queue the store saves: urls entries, waiting. */
    KeptQueue snapshot() const
    {
        KeptQueue kept;
        for (int i = 0; i < urls; ++i) {
            DownloadEntry entry;
            entry.id = DownloadEntry::Id(i + 1);
            entry.url = u"http://h/%1"_s.arg(i);
            kept.queue.append(entry);
        }
        return kept;
    }
    int savedEntries() const
    {
        const auto content = file.content();
        return content ? int(KeptQueueText::read(*content).kept.queue.size()) : -1;
    }
    /** Runs the event loop for a while longer than the store waits before it saves. */
    static void settle()
    {
        runWithinBudget([] { return false; }, 100ms);
    }

    int urls = 1;
    FakeStateFile file;
    QueueStore store{file, [this] { return snapshot(); }, 10ms};
};

} // namespace

TEST_F(QueueStoreTest, ABurstOfChangesIsSavedOnceWithTheLastOfThem)
{
    ASSERT_TRUE(store.open().claimed);
    for (urls = 1; urls <= 1000; ++urls)
        store.changed();
    --urls;
    settle();
    EXPECT_EQ(file.replaces, 1);
    EXPECT_EQ(savedEntries(), 1000);
}

TEST_F(QueueStoreTest, AFailingSaveKeepsTheOldFileIsSaidOnceAndARecoveryIsSaid)
{
    QSignalSpy failed(&store, &QueueStore::saveFailed);
    QSignalSpy recovered(&store, &QueueStore::saveRecovered);
    ASSERT_TRUE(store.open().claimed);
    store.changed();
    settle();
    file.full = true;
    for (urls = 2; urls <= 4; ++urls) {
        store.changed();
        settle();
    }
    EXPECT_EQ(file.replaces, 4);
    EXPECT_EQ(savedEntries(), 1);
    ASSERT_EQ(failed.size(), 1);
    EXPECT_EQ(failed[0][0].toString(), u"不能保存下载列表: No space left on device"_s);
    file.full = false;
    store.changed();
    settle();
    EXPECT_EQ(recovered.size(), 1);
    EXPECT_EQ(savedEntries(), urls);
}

TEST_F(QueueStoreTest, AnUnreadableFileIsMovedAsideNotWrittenOver)
{
    file.setContent("# quorvel-queue format=1\nhttp://h/cut-short\n");
    const QueueStore::Opening opening = store.open();
    EXPECT_TRUE(opening.claimed);
    EXPECT_EQ(opening.notice, u"保存的下载列表无法读取 (文件不完整), 已改名为 /state/queue.txt.unreadable-1"_s);
    EXPECT_EQ(file.aside, "# quorvel-queue format=1\nhttp://h/cut-short\n");
    EXPECT_TRUE(opening.kept.queue.isEmpty());
    store.changed();
    settle();
    EXPECT_EQ(savedEntries(), 1);
}

TEST_F(QueueStoreTest, WithoutTheClaimOrTurnedOffNothingIsWritten)
{
    file.claimable = false;
    file.setContent(KeptQueueText::write(snapshot()));
    const QueueStore::Opening refused = store.open();
    EXPECT_FALSE(refused.claimed);
    EXPECT_EQ(refused.notice, u"下载列表不会保存: taken"_s);
    EXPECT_TRUE(refused.kept.queue.isEmpty()) << "another process runs these entries";
    store.changed();
    settle();
    EXPECT_EQ(file.replaces, 0);

    file.claimable = true;
    store.setEnabled(false);
    store.setEnabled(true);
    store.flush();
    EXPECT_EQ(file.replaces, 1) << "turned on again, it claims the file and saves";
    store.setEnabled(false);
    EXPECT_FALSE(file.content().has_value()) << "turned off, nothing is kept";
    store.changed();
    settle();
    EXPECT_EQ(file.replaces, 1);
}

TEST(LocalStateFile, OneWriterAtATimeAndEachSaveIsWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"state/quorvel/queue.txt"_s);
    LocalStateFile first(path);
    LocalStateFile second(path);
    QString why;
    ASSERT_TRUE(first.claim(why)) << why.toStdString();
    EXPECT_FALSE(second.claim(why));
    EXPECT_TRUE(why.startsWith(u"另一个 Quorvel (进程 "_s)) << why.toStdString();
    ASSERT_TRUE(first.replace("one", why));
    ASSERT_TRUE(first.replace("two", why));
    EXPECT_EQ(first.read(why), QByteArray("two"));
    EXPECT_EQ(QDir(dir.filePath(u"state/quorvel"_s)).entryList(QDir::Files | QDir::Hidden),
              (QStringList{u"queue.txt"_s, u"queue.txt.lock"_s}));
    const QString aside = first.moveAside(why);
    EXPECT_TRUE(aside.startsWith(path + u".unreadable-"_s)) << aside.toStdString();
    EXPECT_FALSE(first.read(why).has_value());
    EXPECT_TRUE(why.isEmpty());
}
