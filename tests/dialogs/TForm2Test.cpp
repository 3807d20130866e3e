// SPDX-License-Identifier: MIT
#include "DialogFixture.h"
#include "ModalWatcher.h"

#include "dialogs/TForm2.h"
#include "dialogs/TForm4.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class TForm2Test : public DialogFixture
{
protected:
    TForm2Test() { forms.Form2 = &dialog; }

    QString defaultFolder() const { return home.path() + u"/Quorvel/Downloads"_s; }

    TForm2 dialog{forms, links};
};

} // namespace

TEST_F(TForm2Test, OkAppendsEveryMemoLineAndDefaultsTheSaveFolder)
{
    edit2.setText(u"/elsewhere"_s);
    dialog.Memo1->setPlainText(u"http://a.example.org/1\n\n http://a.example.org/1 \n"_s);
    QTest::mouseClick(dialog.NewURLBtn, Qt::LeftButton);

    EXPECT_EQ(queue.entries(),
              QStringList({u"http://a.example.org/1"_s, QString(), u" http://a.example.org/1 "_s}));
    EXPECT_EQ(queue.currentUrl(), u"http://a.example.org/1"_s);
    EXPECT_EQ(edit2.text(), defaultFolder());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(starts, 0);
}

TEST_F(TForm2Test, OkOnAFilledQueueKeepsItsTopAndStartsWhenTicked)
{
    queue.append(u"old"_s);
    queue.setCurrentUrl(u"typed by hand"_s);
    dialog.Memo1->setPlainText(u"new"_s);
    dialog.setSavePath(u"/chosen"_s);
    QTest::mouseClick(dialog.CheckBox1, Qt::LeftButton);
    QTest::mouseClick(dialog.NewURLBtn, Qt::LeftButton);

    EXPECT_EQ(queue.entries(), QStringList({u"old"_s, u"new"_s}));
    EXPECT_EQ(queue.currentUrl(), u"old"_s);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(edit2.text(), u"/chosen"_s);
}

TEST_F(TForm2Test, OkWithNothingAnywhereClosesAndLeavesNoCurrentDownload)
{
    queue.setCurrentUrl(u"typed by hand"_s);
    QTest::mouseClick(dialog.NewURLBtn, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(queue.currentUrl(), QString());
    EXPECT_EQ(edit2.text(), defaultFolder());
}

TEST_F(TForm2Test, CancelAppendsNothingButKeepsTheTypedFolder)
{
    dialog.Memo1->setPlainText(u"http://a.example.org/1"_s);
    QTest::keyClicks(dialog.SavePath, u"/tmp/x"_s);
    EXPECT_EQ(edit2.text(), u"/tmp/x"_s);
    QTest::keyClick(dialog.SavePath, Qt::Key_Backspace);
    EXPECT_EQ(edit2.text(), u"/tmp/"_s);

    QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(queue.count(), 0);
    EXPECT_EQ(edit2.text(), u"/tmp/"_s);
}

TEST_F(TForm2Test, LinesAreCutAt4096Characters)
{
    dialog.Memo1->setPlainText(QString(5000, u'x') + u"\nshort"_s);
    EXPECT_EQ(dialog.memoLines(), QStringList({QString(4096, u'x'), u"short"_s}));
}

TEST_F(TForm2Test, TheCheckBoxCanOnlyBeTicked)
{
    EXPECT_FALSE(dialog.CheckBox1->isChecked());
    QTest::mouseClick(dialog.CheckBox1, Qt::LeftButton);
    QTest::mouseClick(dialog.CheckBox1, Qt::LeftButton);
    EXPECT_TRUE(dialog.CheckBox1->isChecked());
}

TEST_F(TForm2Test, OpensInTheMemoWhereEnterStartsALine)
{
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(QApplication::focusWidget(), dialog.Memo1);
    QTest::keyClicks(dialog.Memo1, u"http://a.example/"_s);
    QTest::keyClick(dialog.Memo1, Qt::Key_Return);
    QTest::keyClicks(dialog.Memo1, u"http://b.example/"_s);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.memoLines(), QStringList({u"http://a.example/"_s, u"http://b.example/"_s}));
    const QList<QWidget *> order = {dialog.CheckBox1, dialog.NewURLBtn, dialog.BitBtn2, dialog.SavePath};
    for (QWidget *next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
}

TEST_F(TForm2Test, TheFolderBrowserFillsTheFieldAtOnce)
{
    QTemporaryDir target;
    TForm4 *opened = nullptr;
    ModalWatcher watcher([&](QWidget *modal) {
        opened = qobject_cast<TForm4 *>(modal);
        if (!opened)
            return false;
        EXPECT_EQ(forms.Form4, opened);
        opened->selectPath(target.path());
        QTest::mouseClick(opened->Button1, Qt::LeftButton);
        return true;
    });
    QTest::mouseClick(dialog.SaveOnBtn, Qt::LeftButton);

    ASSERT_TRUE(watcher.done());
    EXPECT_EQ(dialog.savePath(), target.path());
    EXPECT_EQ(edit2.text(), target.path());
    EXPECT_EQ(forms.Form4, nullptr);
}

TEST_F(TForm2Test, ThePanelFillsWhatClientAreaTheWindowFrameLeaves)
{
    dialog.show();
    EXPECT_EQ(dialog.Panel1->geometry(), dialog.rect());
    // A window manager with a thinner frame than the designed one leaves more room inside.
    dialog.setFixedSize(550, 317);
    EXPECT_EQ(dialog.Panel1->geometry(), QRect(0, 0, 550, 317));
}
