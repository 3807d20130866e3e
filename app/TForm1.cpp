// SPDX-License-Identifier: MIT
#include "app/TForm1.h"

#include "app/ProgressPanel.h"
#include "app/StatusPanels.h"
#include "automation/ShownText.h"
#include "common/UrlOpener.h"
#include "dialogs/FixedOuterSize.h"
#include "dialogs/FreshForm.h"
#include "dialogs/HistoryDialog.h"
#include "dialogs/TForm2.h"
#include "dialogs/TForm3.h"
#include "dialogs/TForm4.h"
#include "platform/system/DownloadFolder.h"
#include "queue/DownloadQueue.h"
#include "queue/QueueListFile.h"
#include "queue/QueueListModel.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QToolButton>

TForm1::TForm1(DownloadSession &session, UrlOpener &opener, ClipboardReader &pasteReader, ClipboardReader &watchReader,
               QWidget *parent)
    : QMainWindow(parent)
    , Edit2(new QLineEdit(this))
    , m_session(session)
    , m_queue(session.queue())
    , m_opener(opener)
    , m_pasteReader(pasteReader)
    , m_watchReader(watchReader)
    , m_entries(new QueueListModel(m_queue, this))
    , m_optionsLinks{m_queue, *Edit2, [this] { StartDownload1Click(); }}
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quorvel V.1.1"));
    buildControls();
    buildActions();
    buildMenus();
    buildToolBars();
    buildListMenu();
    connectHandlers();
    connectFlow();
    followQueue();
    watchClipboard();
    FormCreate();
    m_forms.Form2 = new TForm2(m_forms, m_optionsLinks, this);
    m_forms.Form3 = new TForm3(m_opener, this);
    m_forms.Form4 = new TForm4(m_forms, this);
}

void TForm1::FormCreate()
{
    FixedOuterSize::apply(this, QSize(529, 399));
    if (const QScreen *desktop = screen())
        move(desktop->availableGeometry().center() - rect().center());
    // Without the folder the program still runs; the downloads into it fail and say so.
    DownloadFolder::create(DownloadFolder::defaultPath());
    // In the current download, a paste meant for the queue would become part of that URL.
    ListBox1->setFocus();
    // The fields would take a dropped text into themselves; the window adds its links instead.
    setAcceptDrops(true);
    NameEdit->setAcceptDrops(false);
}

void TForm1::followQueue()
{
    ListBox1->setModel(m_entries);
    connect(&m_queue, &DownloadQueue::selectionChanged, this, &TForm1::showSelection);
    connect(&m_queue, &DownloadQueue::moveButtonsChanged, this, &TForm1::showMoveButtons);
    connect(&m_queue, &DownloadQueue::currentUrlChanged, this, &TForm1::showCurrentUrl);
    connect(NameEdit, &QLineEdit::textChanged, &m_queue, &DownloadQueue::setCurrentUrl);
    connect(ListBox1->selectionModel(), &QItemSelectionModel::currentRowChanged, &m_queue,
            [this](const QModelIndex &current) { m_queue.setSelected(current.row()); });
    showSelection(m_queue.selected());
    showMoveButtons(m_queue.upEnabled(), m_queue.downEnabled());
    NameEdit->setText(m_queue.currentUrl());
}

void TForm1::showSelection(int index)
{
    ListBox1->setCurrentIndex(m_entries->index(index));
    if (index < 0)
        ListBox1->clearSelection();
}

void TForm1::showCurrentUrl(const QString &url)
{
    // Setting the text the field already holds would move its cursor and drop its undo steps
    // while the user types.
    if (NameEdit->text() == url)
        return;
    NameEdit->setText(url);
    // The host and the file name are at the start of a page URL; its end is the query.
    NameEdit->setCursorPosition(0);
}

void TForm1::showMoveButtons(bool upEnabled, bool downEnabled)
{
    UpButton->setEnabled(upEnabled);
    UpButton2->setEnabled(upEnabled);
    DownButton->setEnabled(downEnabled);
    DownButton2->setEnabled(downEnabled);
}

void TForm1::AddActionExecute()
{
    execFresh(m_forms.Form2, m_forms, m_optionsLinks, this);
}

void TForm1::DelActionExecute()
{
    m_queue.deleteSelected();
}

int TForm1::selectedEntry() const
{
    const int index = m_queue.selected();
    return index >= 0 && index < m_queue.count() ? index : -1;
}

void TForm1::ListBox1ContextPopup(const QPoint &place)
{
    if (const QModelIndex under = ListBox1->indexAt(place); under.isValid())
        ListBox1->setCurrentIndex(under);
    const int index = selectedEntry();
    for (QAction *item : ListMenu1->actions())
        item->setEnabled(index >= 0);
    // Finished entries leave the queue; one whose file is known has part of it there.
    OpenFolder1->setEnabled(index >= 0 && !m_queue.entry(index).fileName.isEmpty());
    ListMenu1->popup(ListBox1->viewport()->mapToGlobal(place));
}

void TForm1::ListBox1DblClick(const QModelIndex &index)
{
    if (index.isValid())
        m_queue.setCurrentUrl(m_queue.at(index.row()));
}

void TForm1::CopyUrl1Click()
{
    if (const int index = selectedEntry(); index >= 0)
        QGuiApplication::clipboard()->setText(m_queue.at(index));
}

void TForm1::OpenFolder1Click()
{
    if (const int index = selectedEntry(); index >= 0 && !m_queue.entry(index).fileName.isEmpty())
        m_opener.open(QUrl::fromLocalFile(QFileInfo(m_queue.entry(index).fileName).absolutePath()));
}

void TForm1::UpActionExecute()
{
    m_queue.moveUp();
    ListBox1->setFocus();
}

void TForm1::DownActionExecute()
{
    m_queue.moveDown();
    ListBox1->setFocus();
}

void TForm1::FirstActionExecute()
{
    m_queue.moveFirst();
    ListBox1->setFocus();
}

void TForm1::LastActionExecute()
{
    m_queue.moveLast();
    ListBox1->setFocus();
}

void TForm1::ClearActionExecute()
{
    m_queue.clear();
    for (int panel = 0; panel < StatusPanels::panelCount; ++panel)
        StatusBar1->setPanelText(panel, QString());
}

void TForm1::ImportList1Click()
{
    QFileDialog OpenDialog1(this);
    OpenDialog1.setObjectName(QStringLiteral("OpenDialog1"));
    // Any name may be typed: one that cannot be opened is reported by LoadListFile.
    OpenDialog1.setFileMode(QFileDialog::AnyFile);
    if (OpenDialog1.exec() == QDialog::Accepted && !OpenDialog1.selectedFiles().isEmpty()) {
        LoadListFile(OpenDialog1.selectedFiles().constFirst());
        m_queue.showHead();
    }
    if (m_forms.Form2->savePath().isEmpty())
        Edit2->setText(DownloadFolder::defaultPath());
}

void TForm1::LoadListFile(const QString &fileName)
{
    m_queue.replaceAll(QueueListFile::read(fileName));
}

void TForm1::History1Click()
{
    if (!m_history)
        m_history = new HistoryDialog(m_session, m_opener, this);
    m_history->show();
    m_history->raise();
    m_history->activateWindow();
}

void TForm1::DownloadOptions1Click()
{
    execFresh(m_forms.Form4, m_forms, this);
}

void TForm1::SaveBtnClick()
{
    DownloadOptions1Click();
}

void TForm1::AboutQuorvel1Click()
{
    execFresh(m_forms.Form3, m_opener, this);
}

void TForm1::Progress1Click()
{
    setProgressShown(Panel1->isHidden());
}

void TForm1::Panel1Click()
{
    setProgressShown(false);
}

void TForm1::setProgressShown(bool shown)
{
    Panel1->setVisible(shown);
    ListBox1Resize();
}

void TForm1::ListBox1Resize()
{
    const int width = Panel1->isHidden() ? 514 : 417;
    ListBox1->resize(width, ListBox1->height());
    NameEdit->resize(width, NameEdit->height());
}

void TForm1::StartDownload1Click()
{
    m_session.StartDownload1Click();
}

void TForm1::StopDownExecute()
{
    m_session.StopDownExecute();
}

void TForm1::shutBtnClick()
{
    m_session.shutdown().buttonClicked(shutBtn->isChecked());
}

void TForm1::ShutPC1Click()
{
    m_session.shutdown().menuChosen();
}

void TForm1::FileExit1Execute()
{
    close();
}

void TForm1::FileOpen1Execute()
{
    // Ctrl+O does what "输入列表" does: a file chosen and then ignored would only puzzle the user.
    ImportList1Click();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // Closing ends the run at once: a countdown waited out for minutes, or a file half fetched,
    // would be lost to a click meant for another window.
    if (!m_session.isAtRest()
        && QMessageBox::question(this, windowTitle(), QStringLiteral("正在下载, 确定退出?"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
