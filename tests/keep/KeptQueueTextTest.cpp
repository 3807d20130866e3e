// SPDX-License-Identifier: MIT
#include "keep/KeptQueueText.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

DownloadEntry entry(DownloadEntry::Id id, const QString &url, DownloadEntry::State state)
{
    DownloadEntry made;
    made.id = id;
    made.url = url;
    made.state = state;
    made.added = QDateTime(QDate(2026, 12, 9), QTime(4, 0), Qt::UTC);
    return made;
}

KeptQueue sample()
{
    using State = DownloadEntry::State;
    DownloadEntry active = entry(0xa1, u"http://h/file/cut.bin"_s, State::Active);
    active.fileName = u"/dl/cut\nname\\x.bin"_s;
    active.sizeBytes = 2'000'000;
    active.receivedBytes = 400'000;
    active.part = PartialFile{u"/dl/cut.bin"_s, u"/dl/cut.bin.quorvel-abc123.part"_s, "\"v1\"", 2'000'000};
    DownloadEntry failed = entry(0xb2, u" http://h/file/a=b"_s, State::Failed);
    failed.lastFailure = FailureCause{FailureCause::Kind::ExpiredLink, u"HTTP 404\r\n换行"_s, 0, {}};
    failed.finished = QDateTime(QDate(2026, 12, 9), QTime(5, 1, 2, 345), Qt::UTC);
    failed.options.insert(u"checksum"_s, u"sha-256="_s + QString(64, u'a'));
    KeptQueue kept;
    kept.active = {active};
    kept.queue = {entry(0xc3, u"http://h/file/waiting"_s, State::Waiting), failed};
    DownloadEntry done = entry(0xd4, u"http://h/file/done"_s, State::Done);
    done.command = CommandRecord{u"退出码 3"_s, u"line one\r\nline \\two\n"_s};
    kept.history = {done, entry(0xe5, u"http://h/gone"_s, State::Dropped),
                    entry(0xf6, u"http://h/x"_s, State::Removed)};
    return kept;
}

void expectSame(const DownloadEntry &read, const DownloadEntry &written)
{
    EXPECT_EQ(read.id, written.id);
    EXPECT_EQ(read.url, written.url);
    EXPECT_EQ(read.state, written.state);
    EXPECT_EQ(read.lastFailure.has_value(), written.lastFailure.has_value());
    if (read.lastFailure && written.lastFailure) {
        EXPECT_EQ(read.lastFailure->kind, written.lastFailure->kind);
        EXPECT_EQ(read.lastFailure->reason, written.lastFailure->reason);
    }
    EXPECT_EQ(read.fileName, written.fileName);
    EXPECT_EQ(read.sizeBytes, written.sizeBytes);
    EXPECT_EQ(read.receivedBytes, written.receivedBytes);
    EXPECT_EQ(read.added, written.added);
    EXPECT_EQ(read.finished, written.finished);
    EXPECT_EQ(read.options, written.options);
    EXPECT_EQ(read.part, written.part);
    EXPECT_EQ(read.command, written.command);
}

} // namespace

TEST(KeptQueueText, WhatIsWrittenReadsBackEntryForEntryWithTheCutTransferFirst)
{
    const KeptQueue kept = sample();
    const KeptQueueText::Reading reading = KeptQueueText::read(KeptQueueText::write(kept));
    ASSERT_TRUE(reading.unreadable.isEmpty()) << reading.unreadable.toStdString();
    EXPECT_EQ(reading.skippedLines, 0);
    ASSERT_EQ(reading.kept.queue.size(), 3);
    expectSame(reading.kept.queue[0], kept.active[0]);
    expectSame(reading.kept.queue[1], kept.queue[0]);
    expectSame(reading.kept.queue[2], kept.queue[1]);
    ASSERT_EQ(reading.kept.history.size(), 3);
    for (int i = 0; i < 3; ++i)
        expectSame(reading.kept.history[i], kept.history[i]);
}

// A save cut at any byte (by anything but this program's own rename) must never read as a
// shorter queue: either the whole of it, or a file that is moved aside.
TEST(KeptQueueText, AFileCutAtAnyByteIsWholeOrUnreadableAndOtherFilesAreUnreadable)
{
    const QByteArray whole = KeptQueueText::write(sample());
    for (qsizetype length = 0; length < whole.size(); ++length) {
        const KeptQueueText::Reading reading = KeptQueueText::read(whole.first(length));
        if (reading.unreadable.isEmpty()) {
            EXPECT_EQ(reading.kept.queue.size() + reading.kept.history.size(), 6) << "cut at " << length;
        }
    }
    EXPECT_TRUE(KeptQueueText::read(whole.first(whole.size() - 1)).unreadable.isEmpty()) << "only the last break";

    const QList<std::pair<QByteArray, QString>> unreadable{
        {QByteArray(), u"不是 Quorvel 的下载列表"_s},
        {"http://h/a\n", u"不是 Quorvel 的下载列表"_s},
        {"# quorvel-queue format=2\nhttp://h/a\n# quorvel-queue end\n", u"由更新版本的 Quorvel 写成"_s},
        {"# quorvel-queue format=1\nhttp://h/a\n", u"文件不完整"_s},
        {"# quorvel-queue format=1\n\xff\xfe\n# quorvel-queue end\n", u"不是文本"_s},
    };
    for (const auto &[content, why] : unreadable)
        EXPECT_EQ(KeptQueueText::read(content).unreadable, why) << content.toStdString();
}

TEST(KeptQueueText, JunkLinesEditedInAreSkippedAndCountedAndTheRestIsKept)
{
    const QByteArray edited = "# quorvel-queue format=1\n"
                              "junk without a scheme\n"
                              "  quorvel-state=done\n" // belongs to the junk line
                              "http://h/a\n"
                              "  gid=not-hex\n"
                              "  quorvel-state=banana\n"
                              "  quorvel-size=-5\n"
                              "  quorvel-reason=bad\\escape\n"
                              "  dir=/tmp\n"
                              "\n"
                              "http://h/b\n"
                              "  quorvel-state=done\n"
                              "# quorvel-queue end\n";
    const KeptQueueText::Reading reading = KeptQueueText::read(edited);
    ASSERT_TRUE(reading.unreadable.isEmpty());
    EXPECT_EQ(reading.skippedLines, 6);
    ASSERT_EQ(reading.kept.queue.size(), 1);
    EXPECT_EQ(reading.kept.queue[0].url, u"http://h/a"_s);
    EXPECT_EQ(reading.kept.queue[0].state, DownloadEntry::State::Waiting);
    EXPECT_EQ(reading.kept.queue[0].options.value(u"dir"_s), u"/tmp"_s);
    ASSERT_EQ(reading.kept.history.size(), 1);
    EXPECT_EQ(reading.kept.history[0].url, u"http://h/b"_s);
}
