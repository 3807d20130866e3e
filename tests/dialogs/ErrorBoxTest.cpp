// SPDX-License-Identifier: MIT
#include "ModalWatcher.h"

#include "common/ErrorText.h"
#include "common/QuorvelError.h"
#include "dialogs/ErrorBox.h"

#include <QMessageBox>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Qt::StringLiterals;

TEST(ErrorBox, AppendsAStopOnlyAfterCharactersThatSortAfterIt)
{
    EXPECT_EQ(errorBoxText(u"无法插入行"_s), u"无法插入行."_s);
    EXPECT_EQ(errorBoxText(u"在范围外的名单索引 (0)"_s), u"在范围外的名单索引 (0)"_s);
    EXPECT_EQ(errorBoxText(u"Done."_s), u"Done."_s);
    EXPECT_EQ(errorBoxText(u"a-"_s), u"a-"_s);
    EXPECT_EQ(errorBoxText(u"a/"_s), u"a/."_s);
    EXPECT_EQ(errorBoxText(u"No such file or directory"_s), u"No such file or directory."_s);
    EXPECT_EQ(errorBoxText(QString()), QString());
}

TEST(ErrorBox, ShowsWhatAnOperationThrowsAndGoesOn)
{
    QWidget owner;
    QStringList shown;
    ModalWatcher watcher([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box)
            return false;
        EXPECT_EQ(box->windowTitle(), u"Quorvel V.1.1"_s);
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        shown << box->text();
        box->accept();
        return shown.size() == 2;
    });
    bool after = false;
    ErrorBox::run(&owner, [&] {
        throw QuorvelError(u"无法插入行"_s);
        after = true;
    });
    ErrorBox::run(&owner, [] { throw std::runtime_error("plain failure"); });

    EXPECT_FALSE(after);
    EXPECT_EQ(shown, QStringList({u"无法插入行."_s, u"plain failure."_s}));
}
