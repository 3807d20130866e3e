// SPDX-License-Identifier: MIT
#include "MainWindowFixture.h"
#include "ModalWatcher.h"

#include "app/StatusPanels.h"
#include "dialogs/TForm2.h"
#include "dialogs/TForm3.h"
#include "dialogs/TForm4.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <tuple>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

class TForm1Queue : public MainWindowFixture
{
protected:
    QStringList listed() const
    {
        QStringList items;
        for (int row = 0; row < form->ListBox1->model()->rowCount(); ++row)
            items << form->ListBox1->model()->index(row, 0).data().toString();
        return items;
    }

    bool upEnabled() const { return form->UpButton->isEnabled() && form->UpButton2->isEnabled(); }
    bool downEnabled() const
    {
        return form->DownButton->isEnabled() && form->DownButton2->isEnabled();
    }

    QString writeList(const QByteArray &content)
    {
        const QString path = home.filePath(u"list%1.txt"_s.arg(++m_lists));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return path;
    }

    /** Runs "输入列表" and picks path in its file dialog; answers the error texts shown. */
    QStringList importThroughDialog(const QString &path)
    {
        QStringList errors;
        ModalWatcher watcher([&](QWidget *modal) {
            if (auto *chooser = qobject_cast<QFileDialog *>(modal)) {
                EXPECT_EQ(chooser->objectName(), u"OpenDialog1"_s);
                if (path.isEmpty()) {
                    chooser->reject();
                    return true;
                }
                acceptFile(chooser, path);
                return false;
            }
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                errors << box->text();
            dismiss(modal);
            return true;
        });
        form->ImportList1->trigger();
        return errors;
    }

    int m_lists = 0;
};

} // namespace

TEST_F(TForm1Queue, WorkedExampleThroughBothToolbars)
{
    queue.appendAll({u"URL1"_s, u"URL2"_s, u"URL3"_s});
    activate();
    form->ListBox1->setCurrentIndex(form->ListBox1->model()->index(2, 0));
    QTest::mouseClick(form->UpButton, Qt::LeftButton);
    EXPECT_EQ(listed(), QStringList({u"URL1"_s, u"URL3"_s, u"URL2"_s}));
    EXPECT_EQ(form->ListBox1->currentIndex().row(), 1);
    EXPECT_EQ(QApplication::focusWidget(), form->ListBox1);

    QTest::mouseClick(form->UpButton2, Qt::LeftButton);
    EXPECT_EQ(listed(), QStringList({u"URL3"_s, u"URL1"_s, u"URL2"_s}));
    EXPECT_EQ(form->NameEdit->text(), u"URL3"_s);
    EXPECT_FALSE(form->UpButton->isEnabled());
    EXPECT_FALSE(form->UpButton2->isEnabled());
    EXPECT_TRUE(form->UpAction->isEnabled());
    EXPECT_TRUE(form->MoveUP->isEnabled());

    form->ListBox1->setCurrentIndex(form->ListBox1->model()->index(2, 0));
    form->ListBox1->setCurrentIndex(form->ListBox1->model()->index(0, 0));
    EXPECT_FALSE(upEnabled());
    QTest::mouseClick(form->DownButton2, Qt::LeftButton);
    EXPECT_EQ(listed(), QStringList({u"URL1"_s, u"URL3"_s, u"URL2"_s}));
    EXPECT_EQ(form->ListBox1->currentIndex().row(), 1);
    EXPECT_TRUE(upEnabled());

    form->MoveDown->trigger();
    EXPECT_EQ(form->ListBox1->currentIndex().row(), 2);
    EXPECT_FALSE(downEnabled());
    EXPECT_TRUE(form->MoveDown->isEnabled());
    form->MoveLast->trigger();
    form->ClearList1->trigger();
    EXPECT_FALSE(downEnabled());
}

TEST_F(TForm1Queue, MovingWithoutSelectionShowsTheListIndexError)
{
    queue.appendAll({u"URL1"_s, u"URL2"_s});
    form->NameEdit->setText(u"typed"_s);
    QStringList shown;
    ModalWatcher watcher([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        EXPECT_NE(box, nullptr);
        if (box) {
            EXPECT_EQ(box->windowTitle(), u"Quorvel V.1.1"_s);
            shown << box->text();
        }
        dismiss(modal);
        return shown.size() == 4;
    });
    for (QAction *move : {form->MoveUP, form->MoveDown, form->MoveFirst, form->MoveLast})
        move->trigger();
    EXPECT_EQ(shown, QStringList(4, u"在范围外的名单索引 (-1)"_s));
    EXPECT_EQ(listed(), QStringList({u"URL1"_s, u"URL2"_s}));
    EXPECT_EQ(form->NameEdit->text(), u"typed"_s);
}

TEST_F(TForm1Queue, EmptyingTheQueueEmptiesTheCurrentDownloadQuietly)
{
    int modals = 0;
    ModalWatcher watcher([&](QWidget *modal) {
        ++modals;
        dismiss(modal);
        return false;
    });
    queue.append(u"only"_s);
    queue.showHead();
    form->ListBox1->setCurrentIndex(form->ListBox1->model()->index(0, 0));
    QTest::mouseClick(form->DelBtn2, Qt::LeftButton);
    EXPECT_EQ(form->ListBox1->model()->rowCount(), 0);
    EXPECT_EQ(form->NameEdit->text(), QString());
    form->LastAction->trigger();
    QApplication::processEvents();
    EXPECT_EQ(modals, 0);
}

TEST_F(TForm1Queue, ClearEmptiesListCurrentDownloadAndStatus)
{
    queue.appendAll({u"a"_s, u"b"_s});
    queue.showHead();
    for (int panel = 0; panel < 3; ++panel)
        form->StatusBar1->setPanelText(panel, u"busy"_s);
    QTest::mouseClick(form->clrBtn, Qt::LeftButton);
    EXPECT_EQ(form->ListBox1->model()->rowCount(), 0);
    EXPECT_EQ(form->NameEdit->text(), QString());
    for (int panel = 0; panel < 3; ++panel)
        EXPECT_EQ(form->StatusBar1->panelText(panel), QString());
}

TEST_F(TForm1Queue, HandTypedUrlIsTheCurrentDownload)
{
    queue.append(u"queued"_s);
    QTest::keyClicks(form->NameEdit, u"http://typed.example.org/"_s);
    EXPECT_EQ(queue.currentUrl(), u"http://typed.example.org/"_s);
}

TEST_F(TForm1Queue, ALongCurrentUrlShowsItsStartWhileTypingKeepsTheCursor)
{
    const QString url = u"http://127.0.0.1:8080/file/big%20movie.avi?rate=1000000&size=20000000"_s;
    queue.appendAll({url, u"next"_s});
    queue.showHead();
    EXPECT_EQ(form->NameEdit->text(), url);
    EXPECT_EQ(form->NameEdit->cursorPosition(), 0);

    form->NameEdit->setFocus();
    form->NameEdit->end(false);
    QTest::keyClicks(form->NameEdit, u"&x=1"_s);
    EXPECT_EQ(form->NameEdit->cursorPosition(), url.size() + 4);
}

TEST_F(TForm1Queue, ImportReplacesTheQueueAndDefaultsTheSaveFolder)
{
    queue.appendAll({u"old1"_s, u"old2"_s});
    form->ListBox1->setCurrentIndex(form->ListBox1->model()->index(1, 0));
    EXPECT_TRUE(importThroughDialog(writeList("a\r\n\r\nb")).isEmpty());
    EXPECT_EQ(listed(), QStringList({u"a"_s, QString(), u"b"_s}));
    EXPECT_EQ(form->ListBox1->currentIndex().row(), -1);
    EXPECT_EQ(form->NameEdit->text(), u"a"_s);
    EXPECT_EQ(form->Edit2->text(), defaultFolder());

    form->Edit2->setText(u"/chosen"_s);
    form->forms().Form2->setSavePath(u"/chosen"_s);
    EXPECT_TRUE(importThroughDialog(writeList(QByteArray())).isEmpty());
    EXPECT_EQ(form->ListBox1->model()->rowCount(), 0);
    EXPECT_EQ(form->NameEdit->text(), QString());
    EXPECT_EQ(form->Edit2->text(), u"/chosen"_s);
}

TEST_F(TForm1Queue, CancelledImportStillDefaultsTheSaveFolder)
{
    queue.append(u"kept"_s);
    EXPECT_TRUE(importThroughDialog(QString()).isEmpty());
    EXPECT_EQ(listed(), QStringList({u"kept"_s}));
    EXPECT_EQ(form->Edit2->text(), defaultFolder());
}

TEST_F(TForm1Queue, AFileThatCannotBeOpenedChangesNothing)
{
    queue.append(u"kept"_s);
    form->NameEdit->setText(u"typed"_s);
    form->Edit2->setText(u"/kept"_s);
    const QString missing = home.filePath(u"missing.txt"_s);
    EXPECT_EQ(importThroughDialog(missing),
              QStringList({u"不能打开文件 \"%1\". No such file or directory."_s.arg(missing)}));
    // A list that would never end is refused the same way.
    EXPECT_EQ(importThroughDialog(u"/dev/zero"_s),
              QStringList({u"不能打开文件 \"/dev/zero\". 这不是普通文件 (是设备、管道或套接字)"_s}));
    EXPECT_EQ(listed(), QStringList({u"kept"_s}));
    EXPECT_EQ(form->NameEdit->text(), u"typed"_s);
    EXPECT_EQ(form->Edit2->text(), u"/kept"_s);
}

TEST_F(TForm1Queue, EveryOpeningShowsAFreshDialog)
{
    TForm2 *const longLived = form->forms().Form2;
    QList<QWidget *> opened;
    ModalWatcher watcher([&](QWidget *modal) {
        auto *options = qobject_cast<TForm2 *>(modal);
        EXPECT_NE(options, nullptr);
        EXPECT_EQ(form->forms().Form2, options);
        if (options) {
            EXPECT_TRUE(options->Memo1->toPlainText().isEmpty());
            EXPECT_FALSE(options->CheckBox1->isChecked());
            EXPECT_TRUE(options->savePath().isEmpty());
            // Left behind on purpose: the next opening must not show any of it.
            options->Memo1->setPlainText(u"typed"_s);
            options->setSavePath(u"/typed"_s);
            QTest::mouseClick(options->CheckBox1, Qt::LeftButton);
        }
        opened << modal;
        dismiss(modal);
        return opened.size() == 2;
    });
    form->NewDownload1->trigger();
    QTest::mouseClick(form->addBtn, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_NE(opened[0], longLived);
    EXPECT_EQ(form->forms().Form2, longLived);
    EXPECT_EQ(queue.count(), 0);
    EXPECT_EQ(form->Edit2->text(), u"/typed"_s);
}

TEST_F(TForm1Queue, FolderBrowserFromTheWindowSetsTheSaveFolder)
{
    QTemporaryDir target;
    TForm4 *const longLived = form->forms().Form4;
    ModalWatcher watcher([&](QWidget *modal) {
        auto *browser = qobject_cast<TForm4 *>(modal);
        EXPECT_NE(browser, nullptr);
        EXPECT_NE(browser, longLived);
        if (browser) {
            browser->selectPath(target.path());
            QTest::mouseClick(browser->Button1, Qt::LeftButton);
        }
        return true;
    });
    QTest::mouseClick(form->SaveBtn, Qt::LeftButton);
    EXPECT_EQ(form->Edit2->text(), target.path());
    EXPECT_EQ(form->forms().Form2->savePath(), target.path());
    EXPECT_EQ(form->forms().Form4, longLived);
}

TEST_F(TForm1Queue, AboutBoxOpensFreshAndCloses)
{
    TForm3 *const longLived = form->forms().Form3;
    bool fresh = false;
    ModalWatcher watcher([&](QWidget *modal) {
        fresh = qobject_cast<TForm3 *>(modal) && modal != longLived;
        EXPECT_EQ(form->forms().Form3, modal);
        dismiss(modal);
        return true;
    });
    form->AboutQuorvel1->trigger();
    EXPECT_TRUE(fresh);
    EXPECT_EQ(form->forms().Form3, longLived);
}

// The run changes the queue under the user's selection: a start takes the head, a retry puts an
// entry on top. The list must keep the user's entry selected, and say nothing of its own back.
TEST_F(TForm1Queue, TheSelectionStaysOnItsEntryWhileTheRunChangesTheQueue)
{
    queue.appendAll({u"URL1"_s, u"URL2"_s, u"URL3"_s, u"URL4"_s});
    activate();
    form->ListBox1->setCurrentIndex(form->ListBox1->model()->index(2, 0));
    const auto selectedRows = [this] {
        QList<int> rows;
        for (const QModelIndex &index : form->ListBox1->selectionModel()->selectedIndexes())
            rows << index.row();
        return rows;
    };
    const std::vector<std::tuple<const char *, std::function<void()>, int>> steps = {
        {"head taken", [this] { queue.removeAt(0); }, 1},
        {"entry on top", [this] { queue.prepend(u"URL5"_s); }, 2},
        {"moved past it", [this] { queue.move(3, 0); }, 3},
        {"its own removal", [this] { queue.removeAt(3); }, -1},
    };
    for (const auto &[name, step, selected] : steps) {
        SCOPED_TRACE(name);
        step();
        EXPECT_EQ(queue.selected(), selected);
        EXPECT_EQ(form->ListBox1->currentIndex().row(), selected);
        EXPECT_EQ(selectedRows(), selected < 0 ? QList<int>{} : QList<int>{selected});
    }
}
