// SPDX-License-Identifier: MIT
#include "ModalWatcher.h"

#include "dialogs/FixedOuterSize.h"
#include "dialogs/FormDialog.h"
#include "dialogs/FreshForm.h"

#include "tests/support/Budget.h"

#include <QGuiApplication>
#include <QPointer>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

TEST(FixedOuterSize, KeepsTheWindowAtItsSizeAfterShowingAndResizing)
{
    QWidget window;
    FixedOuterSize::apply(&window, QSize(529, 399));
    window.show();
    window.resize(800, 600);
    EXPECT_EQ(window.frameGeometry().size(), QSize(529, 399));
    EXPECT_EQ(window.size(), QSize(529, 399) - (window.frameGeometry().size() - window.geometry().size()));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
}

TEST(FreshForm, EachOpeningMakesANewDialogAndRestoresTheReference)
{
    FormDialog longLived(u"hidden"_s, QSize(200, 100), nullptr);
    FormDialog *ref = &longLived;
    QList<QPointer<FormDialog>> opened;
    ModalWatcher watcher([&](QWidget *modal) {
        EXPECT_EQ(ref, modal);
        opened << qobject_cast<FormDialog *>(modal);
        opened.last()->accept();
        return opened.size() == 2;
    });
    EXPECT_EQ(execFresh(ref, u"fresh"_s, QSize(200, 100), nullptr), QDialog::Accepted);
    execFresh(ref, u"fresh"_s, QSize(200, 100), nullptr);

    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(ref, &longLived);
    EXPECT_TRUE(opened[0].isNull());
    EXPECT_TRUE(opened[1].isNull());
}

TEST(FixedOuterSize, TheClientAreaIsTheOuterSizeLessAFrameOnceTheFrameIsKnown)
{
    EXPECT_EQ(FixedOuterSize::clientSizeFor(QSize(552, 338), QSize(560, 360), QSize(552, 338)), QSize(544, 316));
    EXPECT_EQ(FixedOuterSize::clientSizeFor(QSize(552, 338), QSize(552, 338), QSize(552, 338)), QSize(552, 338));
    // Seen under a slow X server: the frame reported as one pixel before the window was framed.
    EXPECT_EQ(FixedOuterSize::clientSizeFor(QSize(552, 338), QSize(1, 1), QSize(552, 338)), QSize(552, 338));
}

// Only a real window manager frames a dialog after it is shown; CTest runs this once more on a
// virtual X server under openbox.
TEST(FramedWindow, ADialogTakesItsOuterSizeOnceTheWindowManagerHasFramedIt)
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        GTEST_SKIP() << "needs an X server with a window manager";
    QWidget owner;
    FixedOuterSize::apply(&owner, QSize(529, 399));
    owner.show();
    // As a user opens a dialog: from a window that has been on the screen for a while.
    ASSERT_TRUE(runWithinBudget([&owner] { return owner.windowHandle()->frameMargins().top() > 0; }, 5s));
    QTest::qWait(200);
    FormDialog dialog(u"framed"_s, QSize(552, 338), &owner);
    dialog.show();
    const auto outer = [&dialog] { return dialog.windowHandle()->frameGeometry().size(); };
    EXPECT_TRUE(runWithinBudget([&] { return outer() == QSize(552, 338) && dialog.size() != QSize(552, 338); }, 5s))
        << "outer " << outer().width() << "x" << outer().height() << ", inner " << dialog.width() << "x"
        << dialog.height();
}
