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

    /** Shows a browser opened now, once the folders above the selected one have loaded. */
    static bool showLoaded(TForm4 &browser)
    {
        browser.show();
        const QModelIndex current = browser.ShellTreeView1->currentIndex();
        QAbstractItemModel *model = browser.ShellTreeView1->model();
        // Each of the temporary folders is a sibling of the other.
        const bool loaded = runWithinBudget([&] { return model->rowCount(current.parent().parent()) >= 2; }, 5s);
        // The model sorts what it loaded a moment later.
        QTest::qWait(200);
        return loaded;
    }

    static bool inView(const TForm4 &browser)
    {
        const QTreeView *tree = browser.ShellTreeView1;
        return tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex()));
    }
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

TEST_F(TForm4Test, OpensOnTheSaveFolderExpandedAndInViewAndOkKeepsIt)
{
    forms.Form2 = &longLived;
    const QString saveFolder = folders.filePath(u"beta"_s);
    QDir(saveFolder).mkpath(u"inner"_s);
    edit2.setText(saveFolder);
    TForm4 browser{forms};
    EXPECT_EQ(browser.selectedPath(), saveFolder);
    const QModelIndex current = browser.ShellTreeView1->currentIndex();
    EXPECT_EQ(current.data().toString(), u"beta"_s);
    EXPECT_TRUE(browser.ShellTreeView1->isExpanded(current));
    for (QModelIndex above = current.parent(); above.isValid(); above = above.parent())
        EXPECT_TRUE(browser.ShellTreeView1->isExpanded(above)) << above.data().toString().toStdString();

    ASSERT_TRUE(showLoaded(browser));
    EXPECT_TRUE(inView(browser));
    QTest::mouseClick(browser.Button1, Qt::LeftButton);
    EXPECT_EQ(edit2.text(), saveFolder);
}

TEST_F(TForm4Test, WithoutASaveFolderOpensOnTheDefaultOrTheNearestFolderAboveAMissingOne)
{
    forms.Form2 = &longLived;
    const QString defaultFolder = home.filePath(u"Quorvel/Downloads"_s);
    ASSERT_TRUE(QDir().mkpath(defaultFolder));
    EXPECT_EQ(TForm4(forms).selectedPath(), defaultFolder);

    edit2.setText(folders.filePath(u"alpha/gone/deeper"_s));
    EXPECT_EQ(TForm4(forms).selectedPath(), folders.filePath(u"alpha"_s));
    edit2.setText(folders.filePath(u"list.txt"_s));
    EXPECT_EQ(TForm4(forms).selectedPath(), folders.path());
}
