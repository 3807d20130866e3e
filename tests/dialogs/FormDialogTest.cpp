// SPDX-License-Identifier: MIT
#include "ModalWatcher.h"

#include "dialogs/FixedOuterSize.h"
#include "dialogs/FormDialog.h"
#include "dialogs/FreshForm.h"

#include <QPointer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
