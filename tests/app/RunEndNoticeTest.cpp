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
    void transferEnded(const TransferOutcome &outcome)
    {
        emit session.transferEnded(u"http://h/page"_s, u"/tmp/file.bin"_s, outcome);
    }

    RecordingNotifier notifier;
    RunEndNotice notice{session, notifier, *form};
};

} // namespace

TEST_F(RunEndNoticeTest, ARunThatEndsWhileTheUserLooksElsewhereIsToldWithItsCounts)
{
    ASSERT_FALSE(form->isActiveWindow());
    transferEnded(TransferOutcome::done());
    transferEnded(TransferOutcome::done());
    transferEnded(TransferOutcome::failed(u"HTTP 404"_s));
    transferEnded(TransferOutcome::cancelled());
    emit session.urlDropped(u"http://h/gone"_s);
    emit session.cameToRest(RestReason::QueueDone);
    EXPECT_EQ(notifier.shown, QStringList{u"下载完成 | 完成 2 个文件, 丢弃 1, 失败 1"_s});

    // The next run counts from nothing.
    transferEnded(TransferOutcome::failed(u"HTTP 500"_s));
    emit session.cameToRest(RestReason::RestingAtFailure);
    transferEnded(TransferOutcome::done());
    emit session.cameToRest(RestReason::UnrecognisedPage);
    ASSERT_EQ(notifier.shown.size(), 3);
    EXPECT_EQ(notifier.shown[1], u"下载停在已失败的网址 | 完成 0 个文件, 丢弃 0, 失败 1"_s);
    EXPECT_EQ(notifier.shown[2], u"下载停在无法识别的页面 | 完成 1 个文件, 丢弃 0, 失败 0"_s);
}

TEST_F(RunEndNoticeTest, NothingWhenTheUserStoppedTheRunOrIsLookingAtTheWindow)
{
    transferEnded(TransferOutcome::done());
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
