// SPDX-License-Identifier: MIT
#include "MainWindowFixture.h"
#include "ModalWatcher.h"

#include "dialogs/HistoryDialog.h"
#include "queue/DownloadHistory.h"

#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

using State = DownloadEntry::State;

class HistoryWindow : public MainWindowFixture
{
protected:
    HistoryWindow()
    {
        record(1, State::Done, u"http://h/done"_s, home.filePath(u"Downloads/setup.zip"_s));
        record(2, State::Failed, u"http://h/failed"_s, QString());
        record(3, State::Removed, u"http://h/removed"_s, QString());
        record(4, State::Done, u"http://h/other"_s, home.filePath(u"Other/manual.pdf"_s));
    }

    void record(DownloadEntry::Id id, State state, const QString &url, const QString &fileName)
    {
        DownloadEntry entry;
        entry.id = id;
        entry.state = state;
        entry.url = url;
        entry.fileName = fileName;
        session.history().record(entry);
    }

    /** Opens the dialog as the user does, with the menu item's shortcut. */
    HistoryDialog *openThroughMenu()
    {
        activate();
        QTest::keyClick(form, Qt::Key_H, Qt::ControlModifier);
        auto *dialog = form->findChild<HistoryDialog *>();
        EXPECT_TRUE(dialog && dialog->isVisible());
        return dialog;
    }

    void clickRow(HistoryDialog *dialog, int row, Qt::KeyboardModifiers modifiers = {})
    {
        QTableView *table = dialog->table();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers,
                          table->visualRect(table->model()->index(row, 0)).center());
    }

    static QPushButton *button(HistoryDialog *dialog, const char *name)
    {
        return dialog->findChild<QPushButton *>(QString::fromLatin1(name));
    }
    static QString counts(HistoryDialog *dialog) { return dialog->findChild<QLabel *>(u"HistoryCounts"_s)->text(); }

    QStringList queued() const
    {
        QStringList urls;
        for (int i = 0; i < queue.count(); ++i)
            urls << queue.at(i);
        return urls;
    }
};

} // namespace

TEST_F(HistoryWindow, ASelectedRecordIsDownloadedAgainOrItsFolderOpened)
{
    HistoryDialog *dialog = openThroughMenu();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(form->History1->text(), u"下载记录..."_s);
    EXPECT_TRUE(form->Tools1->actions().contains(form->History1));
    EXPECT_EQ(dialog->windowTitle(), u"下载记录"_s);
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->findChild<QLabel *>(u"HistoryCounts"_s)->accessibleName(), u"下载记录统计"_s);
    EXPECT_EQ(counts(dialog), u"完成 2 个, 失败 1 个, 文件不存在 0 个, 已删除 1 个"_s);
    QPushButton *again = button(dialog, "DownloadAgainBtn");
    QPushButton *folder = button(dialog, "OpenFolderBtn");
    // The run goes on while the dialog is open.
    clickRow(dialog, 1);
    record(2, State::Done, u"http://h/failed"_s, QString());
    EXPECT_FALSE(again->isEnabled());
    record(2, State::Failed, u"http://h/failed"_s, QString());
    record(5, State::Dropped, u"http://h/dropped"_s, QString());
    EXPECT_EQ(counts(dialog), u"完成 2 个, 失败 1 个, 文件不存在 1 个, 已删除 1 个"_s);

    struct Case
    {
        int row;
        bool againEnabled;
        bool folderEnabled;
    };
    for (const Case &c : std::vector<Case>{{0, false, true}, {1, true, false}, {2, true, false}, {3, false, true}}) {
        SCOPED_TRACE(c.row);
        clickRow(dialog, c.row);
        EXPECT_EQ(again->isEnabled(), c.againEnabled);
        EXPECT_EQ(folder->isEnabled(), c.folderEnabled);
    }
    // Two records with a file each: which folder is meant is not clear.
    clickRow(dialog, 0, Qt::ControlModifier);
    EXPECT_FALSE(again->isEnabled());
    EXPECT_FALSE(folder->isEnabled());
    clickRow(dialog, 1, Qt::ControlModifier);
    EXPECT_TRUE(again->isEnabled());

    clickRow(dialog, 0);
    QTest::mouseClick(folder, Qt::LeftButton);
    EXPECT_EQ(opener.opened, QList<QUrl>{QUrl::fromLocalFile(home.filePath(u"Downloads"_s))});

    clickRow(dialog, 1);
    QTest::mouseClick(again, Qt::LeftButton);
    EXPECT_EQ(queued(), QStringList{u"http://h/failed"_s});
    EXPECT_EQ(counts(dialog), u"完成 2 个, 失败 0 个, 文件不存在 1 个, 已删除 1 个"_s);
    EXPECT_EQ(dialog->table()->model()->rowCount(), 4);
    // Records go while none of them is selected, too.
    dialog->table()->clearSelection();
    session.downloadAgain(3);
    EXPECT_EQ(counts(dialog), u"完成 2 个, 失败 0 个, 文件不存在 1 个, 已删除 0 个"_s);

    // Again from the menu: the same dialog, not a second one.
    form->History1->trigger();
    EXPECT_EQ(form->findChildren<HistoryDialog *>().size(), 1);
}

TEST_F(HistoryWindow, ClearingAsksFirst)
{
    HistoryDialog *dialog = openThroughMenu();
    ASSERT_TRUE(dialog);
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        QString asked;
        ModalWatcher watcher([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (box) {
                asked = box->text();
                box->button(answer)->click();
            } else {
                dismiss(modal);
            }
            return true;
        });
        QTest::mouseClick(button(dialog, "ClearHistoryBtn"), Qt::LeftButton);
        EXPECT_EQ(asked, u"确定清除全部下载记录?"_s);
        EXPECT_EQ(session.history().count(), answer == QMessageBox::Yes ? 0 : 4);
    }
    EXPECT_EQ(counts(dialog), u"完成 0 个, 失败 0 个, 文件不存在 0 个, 已删除 0 个"_s);
}

TEST_F(HistoryWindow, TheFailedUrlsAreExportedAsAListFileOrTheReasonShown)
{
    record(4, State::Failed, u"http://h/网址"_s, QString());
    HistoryDialog *dialog = openThroughMenu();
    ASSERT_TRUE(dialog);
    struct Case
    {
        const char *name;
        QString path;
        QByteArray written;
        QString error;
    };
    const QString missing = home.filePath(u"missing/failed.txt"_s);
    const std::vector<Case> cases = {
        {"written", home.filePath(u"failed.txt"_s), "http://h/failed\nhttp://h/\xe7\xbd\x91\xe5\x9d\x80\n", QString()},
        {"no such folder", missing, QByteArray(), u"不能写入文件 \"%1\". "_s.arg(missing)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        ModalWatcher watcher([&](QWidget *modal) {
            if (auto *chooser = qobject_cast<QFileDialog *>(modal)) {
                EXPECT_EQ(chooser->acceptMode(), QFileDialog::AcceptSave);
                acceptFile(chooser, c.path);
                return false;
            }
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                error = box->text();
            dismiss(modal);
            return true;
        });
        QTest::mouseClick(button(dialog, "ExportFailedBtn"), Qt::LeftButton);
        if (c.error.isEmpty()) {
            EXPECT_EQ(error, QString());
            QFile file(c.path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), c.written);
        } else {
            // The system's reason follows the path.
            EXPECT_TRUE(error.startsWith(c.error) && error.size() > c.error.size() + 1) << error.toStdString();
            EXPECT_FALSE(QFile::exists(c.path));
        }
    }
}
