// SPDX-License-Identifier: MIT
#pragma once

#include "dialogs/FormRefs.h"
#include "dialogs/OptionsLinks.h"
#include "flow/DownloadSession.h"
#include "flow/FlowView.h"

#include <QMainWindow>

#include <functional>

class ClipboardReader;
class ClipboardWatch;
class FindTextDialog;
class HistoryDialog;
class LinkIntake;
class ProgressPanel;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QMimeData;
class QModelIndex;
class QueueListModel;
class QMenu;
class QPlainTextEdit;
class QToolButton;
class StatusPanels;
class ToolStrip;
class UrlOpener;

/**
 * The main window: the queue with the current download, the progress panel, the status bar, the
 * hidden page buffer and save folder, the menus, toolbars and actions. It shows a download session
 * and is its view while it lives; its handlers hand the work to the session's objects and the
 * dialogs, and errors they throw end in the error box. UI thread only.
 */
class TForm1 final : public QMainWindow, public FlowView
{
    Q_OBJECT

public:
    /**
     * pasteReader brings the text a paste adds, watchReader what the clipboard watch looks at, so
     * that a huge clipboard never holds up the window.
     */
    TForm1(DownloadSession &session, UrlOpener &opener, ClipboardReader &pasteReader, ClipboardReader &watchReader,
           QWidget *parent = nullptr);
    ~TForm1() override;

    FormRefs &forms() { return m_forms; }
    // The page flow and the power-off switch, for tests.
    PageFlow &flow() { return m_session.flow(); }
    ShutdownSwitch &shutdown() { return m_session.shutdown(); }

    // What the page flow shows: the status bar, the progress fields and the error box.
    void setStatusText(int panel, const QString &text) override;
    void setStatusWidth(int panel, int pixels) override;
    void setField(Field field, const QString &text) override;
    QString saveFolder() const override;
    void showError(const QString &message) override;

    /**
     * Adds the URLs in urlsOrListFiles (each a URL or a list file's path) to the end of the queue,
     * in order, and says in the status bar how many arrived and what was left out. Pasting and
     * dropping come here too.
     */
    void addLinks(const QStringList &urlsOrListFiles);
    /** What pasting or dropping data adds: its files as lists, its links and its text. */
    void addLinks(const QMimeData &data);
    /**
     * What a later start of the program hands over: added as its arguments would be, said in the
     * status bar as come from there, the window brought to the front. Answers how many URLs arrived.
     */
    int addHandedLinks(const QStringList &urlsOrListFiles);

    // Controls, by their design names.
    ToolStrip *ToolBar1;
    QFrame *Panel2;
    QLabel *Label1;
    QListView *ListBox1;
    QLineEdit *NameEdit;
    ProgressPanel *Panel1;
    StatusPanels *StatusBar1;
    /** The page engine draws nothing; this keeps the browser's place, under Panel2. */
    QWidget *WebBrowser1;
    QPlainTextEdit *Memo2;
    /** The save folder. */
    QLineEdit *Edit2;

    QToolButton *addBtn, *delBtn, *strBtn, *stpBtn, *UpButton, *DownButton, *FirstBtn, *LastBtn;
    QToolButton *impBtn, *SaveBtn, *clrBtn, *shutBtn;
    QToolButton *FirstBtn2, *UpButton2, *DelBtn2, *DownButton2, *LastBtn2;

    QMenu *File1, *Edit1, *Tools1, *View1, *Help1;
    QAction *NewDownload1, *StartDownload1, *StopDownload1, *Exit1;
    QAction *MoveUP, *MoveDown, *MoveFirst, *MoveLast, *DeleteSelected;
    QAction *ClearList1, *ImportList1, *History1, *DownloadOptions1, *ShutPC1, *Progress1, *AboutQuorvel1;
    /** Whether the queue is kept for the next start; checked by whoever keeps it. */
    QAction *KeepQueue1;
    /** Opens "设置"; whoever keeps the settings runs it. */
    QAction *Settings1;
    /** Whether a copied page URL joins the queue; the choice is kept in the settings. */
    QAction *WatchClipboard1;
    /** The queue list's context menu and the items only it has. */
    QMenu *ListMenu1;
    QAction *CopyUrl1, *OpenFolder1;

    // ActionList1.
    QAction *AddAction, *DelAction, *UpAction, *DownAction, *FirstAction, *LastAction;
    QAction *ClearAction, *StopDown, *FileExit1, *FileOpen1, *SearchFind1;
    QAction *EditCut1, *EditCopy1, *EditPaste1, *EditUndo1, *EditDelete1;

    void FormCreate();
    void AddActionExecute();
    void DelActionExecute();
    void UpActionExecute();
    void DownActionExecute();
    void FirstActionExecute();
    void LastActionExecute();
    void ClearActionExecute();
    void ImportList1Click();
    /** Replaces the queue with the lines of fileName; throws when it cannot be opened. */
    void LoadListFile(const QString &fileName);
    /** Shows the one "下载记录" dialog, made on first use. */
    void History1Click();
    void DownloadOptions1Click();
    void SaveBtnClick();
    void AboutQuorvel1Click();
    void Progress1Click();
    void Panel1Click();
    void ListBox1Resize();
    void StartDownload1Click();
    void StopDownExecute();
    void shutBtnClick();
    void ShutPC1Click();
    void FileExit1Execute();
    void FileOpen1Execute();
    void SearchFind1Execute();
    void EditCut1Execute();
    void EditCopy1Execute();
    void EditPaste1Execute();
    void EditUndo1Execute();
    void EditDelete1Execute();
    void CopyUrl1Click();
    void OpenFolder1Click();
    void ListBox1DblClick(const QModelIndex &index);
    void ListBox1ContextPopup(const QPoint &place);
    void WatchClipboard1Click(bool watching);

    /** The settings key of the clipboard watch; off unless turned on. */
    static QString watchClipboardKey() { return QStringLiteral("clipboard/watch"); }

protected:
    /** While the run has work (a page, a countdown, a wait, a transfer), asks before closing. */
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildControls();
    void buildActions();
    void buildMenus();
    void buildToolBars();
    void buildListMenu();
    void watchClipboard();
    void connectHandlers();
    void connectFlow();
    void followQueue();
    void showSelection(int index);
    void showCurrentUrl(const QString &url);
    void showMoveButtons(bool upEnabled, bool downEnabled);
    void setProgressShown(bool shown);
    /** The window's text field that has the keyboard focus, if one has. */
    QLineEdit *focusedTextField() const;
    void onFocusedField(const std::function<void(QLineEdit &)> &command);
    void takeIn(const LinkIntake &intake);
    void urlCopied(const QString &url);
    void pasteRead(const QString &text, bool cutShort);
    /** The entry the list's commands act on, or -1. */
    int selectedEntry() const;

    DownloadSession &m_session;
    DownloadQueue &m_queue;
    UrlOpener &m_opener;
    ClipboardReader &m_pasteReader;
    ClipboardReader &m_watchReader;
    QueueListModel *m_entries;
    FormRefs m_forms;
    OptionsLinks m_optionsLinks;
    FindTextDialog *m_find = nullptr;
    HistoryDialog *m_history = nullptr;
    ClipboardWatch *m_clipboardWatch = nullptr;
};
