// SPDX-License-Identifier: MIT
#include "DialogFixture.h"

#include "dialogs/TForm2.h"
#include "dialogs/TForm4.h"

#include "tests/support/Budget.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

class TForm4Test : public DialogFixture
{
protected:
    TForm4Test()
    {
        forms.Form2 = &longLived;
        QDir(folders.path()).mkpath(u"alpha"_s);
        QDir(folders.path()).mkpath(u"beta"_s);
        QFile file(folders.filePath(u"list.txt"_s));
        file.open(QIODevice::WriteOnly);
    }

    TForm2 longLived{forms, links};
    QTemporaryDir folders;
    TForm4 dialog{forms};
};

} // namespace

TEST_F(TForm4Test, OkPutsTheFolderIntoTheOptionsDialogAndTheSaveFolder)
{
    dialog.selectPath(folders.filePath(u"alpha"_s));
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(longLived.savePath(), folders.filePath(u"alpha"_s));
    EXPECT_EQ(edit2.text(), folders.filePath(u"alpha"_s));
}

TEST_F(TForm4Test, CancelChangesNothing)
{
    edit2.setText(u"/kept"_s);
    dialog.selectPath(folders.filePath(u"alpha"_s));
    QTest::mouseClick(dialog.Button2, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(longLived.savePath(), QString());
    EXPECT_EQ(edit2.text(), u"/kept"_s);
}

TEST_F(TForm4Test, TreeAndComboFollowEachOther)
{
    EXPECT_EQ(dialog.selectedPath(), QDir::rootPath());
    dialog.selectPath(folders.filePath(u"beta"_s));
    dialog.selectPath(folders.filePath(u"alpha"_s));
    EXPECT_EQ(dialog.ShellComboBox1->currentText(), u"alpha"_s);
    EXPECT_EQ(dialog.selectedPath(), folders.filePath(u"alpha"_s));

    const int beta = dialog.ShellComboBox1->findText(u"beta"_s);
    ASSERT_GE(beta, 0);
    dialog.ShellComboBox1->setCurrentIndex(beta);
    emit dialog.ShellComboBox1->activated(beta);
    EXPECT_EQ(dialog.selectedPath(), folders.filePath(u"beta"_s));
    const QModelIndex current = dialog.ShellTreeView1->currentIndex();
    EXPECT_EQ(current.data().toString(), u"beta"_s);
}

TEST_F(TForm4Test, OffersFoldersOnly)
{
    QAbstractItemModel *model = dialog.ShellTreeView1->model();
    dialog.selectPath(folders.filePath(u"alpha"_s));
    const QModelIndex parent = dialog.ShellTreeView1->currentIndex().parent();
    model->fetchMore(parent);
    ASSERT_TRUE(runWithinBudget([&] { return model->rowCount(parent) >= 2; }, 5s));
    QTest::qWait(100);
    QStringList names;
    for (int row = 0; row < model->rowCount(parent); ++row)
        names << model->index(row, 0, parent).data().toString();
    names.sort();
    EXPECT_EQ(names, QStringList({u"alpha"_s, u"beta"_s}));
}
