// SPDX-License-Identifier: MIT
#include "dialogs/ShutdownCountdownDialog.h"
#include "power/ShutdownCountdown.h"

#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The count is driven by hand through its signals' effects, so a long step keeps it from ticking.
class ShutdownCountdownDialogTest : public ::testing::Test
{
protected:
    ShutdownCountdownDialogTest()
    {
        countdown.start(60, QStringLiteral("下载已完成"));
        dialog = new ShutdownCountdownDialog(countdown);
        dialog->show();
    }
    ~ShutdownCountdownDialogTest() override { delete dialog.data(); }

    bool dialogGone()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return dialog.isNull();
    }

    QPushButton *cancelButton() const
    {
        return dialog->findChild<QPushButton *>(QStringLiteral("cancelButton"));
    }

    ShutdownCountdown countdown{std::chrono::hours(1)};
    QPointer<ShutdownCountdownDialog> dialog;
};

TEST_F(ShutdownCountdownDialogTest, ShowsTheSecondsLeftWithCancelFocusedWithoutBlocking)
{
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Quorvel V.1.1"));
    EXPECT_EQ(dialog->text(), QStringLiteral("下载已完成。计算机将在 60 秒后关机。"));
    EXPECT_EQ(dialog->remaining(), 60);
    ASSERT_NE(cancelButton(), nullptr);
    EXPECT_EQ(cancelButton()->text(), QStringLiteral("取消"));
    EXPECT_EQ(dialog->focusWidget(), cancelButton());

    emit countdown.tick(59);
    EXPECT_EQ(dialog->remaining(), 59);
    EXPECT_EQ(dialog->text(), QStringLiteral("下载已完成。计算机将在 59 秒后关机。"));
}

TEST_F(ShutdownCountdownDialogTest, SaysWhyTheCountRuns)
{
    countdown.withdraw();
    countdown.start(60, QStringLiteral("队列中没有要下载的网址"));
    ShutdownCountdownDialog other(countdown);
    EXPECT_EQ(other.text(), QStringLiteral("队列中没有要下载的网址。计算机将在 60 秒后关机。"));
}

TEST_F(ShutdownCountdownDialogTest, CancelButtonAndEscapeCancelTheCountAndClose)
{
    QSignalSpy cancelled(&countdown, &ShutdownCountdown::cancelled);
    QTest::mouseClick(cancelButton(), Qt::LeftButton);
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_TRUE(dialogGone());

    countdown.start(60, QStringLiteral("下载已完成"));
    dialog = new ShutdownCountdownDialog(countdown);
    dialog->show();
    QTest::keyClick(dialog.data(), Qt::Key_Escape);
    EXPECT_EQ(cancelled.count(), 2);
    EXPECT_TRUE(dialogGone());
}

TEST_F(ShutdownCountdownDialogTest, ClosesWhenTheProgramWithdrawsTheCount)
{
    QSignalSpy cancelled(&countdown, &ShutdownCountdown::cancelled);
    countdown.withdraw();
    EXPECT_TRUE(dialogGone());
    EXPECT_EQ(cancelled.count(), 0);
}

} // namespace
