// SPDX-License-Identifier: MIT
#include "MainWindowFixture.h"

#include "app/RunEndNotice.h"
#include "common/UserNotifier.h"

using namespace Qt::StringLiterals;

namespace {

class RecordingNotifier final : public UserNotifier
{
public:
    void notify(const QString &title, const QString &body) override { shown << title + u" | "_s + body; }
    QStringList shown;
};

class RunEndNoticeTest : public MainWindowFixture
{
protected:
    void ended(DownloadEntry::Id id, DownloadEntry::State state)
    {
        DownloadEntry entry;
        entry.id = id;
        entry.url = u"http://h/page"_s;
        entry.state = state;
        emit session.entryEnded(entry);
    }

    RecordingNotifier notifier;
    RunEndNotice notice{session, notifier, *form};
};

} // namespace

TEST_F(RunEndNoticeTest, ARunThatEndsWhileTheUserLooksElsewhereIsToldWithItsCounts)
{
    using State = DownloadEntry::State;
    ASSERT_FALSE(form->isActiveWindow());
    ended(1, State::Done);
    // Failed, tried again, and arrived: one file done, no failure.
    ended(2, State::Failed);
    ended(2, State::Done);
    ended(3, State::Failed);
    ended(4, State::Removed);
    ended(5, State::Dropped);
    emit session.cameToRest(RestReason::QueueDone);
    EXPECT_EQ(notifier.shown, QStringList{u"下载完成 | 完成 2 个文件, 丢弃 1, 失败 1"_s});

    // The next run counts from nothing.
    ended(6, State::Failed);
    emit session.cameToRest(RestReason::RestingAtFailure);
    ended(7, State::Done);
    emit session.cameToRest(RestReason::UnrecognisedPage);
    ASSERT_EQ(notifier.shown.size(), 3);
    EXPECT_EQ(notifier.shown[1], u"下载停在已失败的网址 | 完成 0 个文件, 丢弃 0, 失败 1"_s);
    EXPECT_EQ(notifier.shown[2], u"下载停在无法识别的页面 | 完成 1 个文件, 丢弃 0, 失败 0"_s);
}

TEST_F(RunEndNoticeTest, NothingWhenTheUserStoppedTheRunOrIsLookingAtTheWindow)
{
    ended(1, DownloadEntry::State::Done);
    emit session.cameToRest(RestReason::Stopped);
    activate();
    ASSERT_TRUE(form->isActiveWindow());
    emit session.cameToRest(RestReason::QueueDone);
    EXPECT_TRUE(notifier.shown.isEmpty());

    // What the stopped run did is not counted into the next one.
    form->hide();
    emit session.cameToRest(RestReason::QueueDone);
    EXPECT_EQ(notifier.shown, QStringList{u"下载完成 | 完成 0 个文件, 丢弃 0, 失败 0"_s});
}
