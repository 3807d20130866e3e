// SPDX-License-Identifier: MIT
// The window's controls, actions, menus and toolbars, placed where the design has them.
#include "app/TForm1.h"

#include "app/CommandIcons.h"
#include "app/MenuBarStyle.h"
#include "app/ProgressPanel.h"
#include "app/StatusPanels.h"
#include "app/ToolStrip.h"
#include "dialogs/ErrorBox.h"
#include "dialogs/FieldLook.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStyleFactory>
#include <QToolButton>

namespace {

template <class Widget>
Widget *placed(Widget *widget, const QString &name, QRect place)
{
    widget->setObjectName(name);
    widget->setGeometry(place);
    return widget;
}

QAction *newAction(QObject *owner, const QString &name, const QString &caption, int image,
                   const QKeySequence &shortcut = {})
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(name);
    if (image >= 0)
        action->setIcon(CommandIcons::image(image));
    action->setShortcut(shortcut);
    return action;
}

} // namespace

void TForm1::buildControls()
{
    FieldLook::fillWith(this, FieldLook::silver);
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    WebBrowser1 = placed(new QWidget(client), QStringLiteral("WebBrowser1"), {24, 112, 193, 209});
    Memo2 = placed(new QPlainTextEdit(client), QStringLiteral("Memo2"), {344, 200, 121, 89});
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->hide();
    Edit2->setParent(client);
    placed(Edit2, QStringLiteral("Edit2"), {432, 104, 33, 21})->hide();

    Panel2 = placed(new QFrame(client), QStringLiteral("Panel2"), {0, 28, 521, 298});
    auto *nameLabel = new QLabel(QStringLiteral("当前下载"), Panel2);
    nameLabel->move(4, 8);
    NameEdit = placed(new QLineEdit(Panel2), QStringLiteral("NameEdit"), {4, 23, 417, 21});
    FieldLook::makeGrey(NameEdit);
    nameLabel->setBuddy(NameEdit);
    Label1 = placed(new QLabel(QStringLiteral("下载列表"), Panel2), QStringLiteral("Label1"),
                    {5, 50, 60, 13});
    ListBox1 = placed(new QListView(Panel2), QStringLiteral("ListBox1"), {4, 64, 417, 234});
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    // Every row is one line of text. Without this the view measures all rows again on each change:
    // about a second per entry done in a queue of 100,000.
    ListBox1->setUniformItemSizes(true);
    ListBox1->setFrameShadow(QFrame::Raised);

    Panel1 = placed(new ProgressPanel(client), QStringLiteral("Panel1"), {427, 28, 94, 298});
    ToolBar1 = placed(new ToolStrip(Qt::Horizontal, 30, client), QStringLiteral("ToolBar1"),
                      {0, 0, 521, 36});
    // Bottom-aligned: the window's outer size is fixed, so the room under the controls depends on
    // the frame and title bar that the window manager adds.
    StatusBar1 = new StatusPanels(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);
}

void TForm1::buildActions()
{
    AddAction = newAction(this, QStringLiteral("AddAction"), QStringLiteral("添加操作"), -1);
    DelAction = newAction(this, QStringLiteral("DelAction"), QStringLiteral("删除操作"), 1);
    UpAction = newAction(this, QStringLiteral("UpAction"), QStringLiteral("取消操作"), 11);
    DownAction = newAction(this, QStringLiteral("DownAction"), QStringLiteral("下载操作"), 10);
    FirstAction = newAction(this, QStringLiteral("FirstAction"), QStringLiteral("第一操作"), 15);
    LastAction = newAction(this, QStringLiteral("LastAction"), QStringLiteral("最后操作"), 16);
    ClearAction = newAction(this, QStringLiteral("ClearAction"), QStringLiteral("清除列表"), -1,
                            QKeySequence(Qt::CTRL | Qt::Key_L));
    StopDown = newAction(this, QStringLiteral("StopDown"), QStringLiteral("停止下载"), 9);
    FileExit1 = newAction(this, QStringLiteral("FileExit1"), QStringLiteral("退出"), 8);
    FileOpen1 = newAction(this, QStringLiteral("FileOpen1"), QStringLiteral("输入列表"), 4,
                          QKeySequence(Qt::CTRL | Qt::Key_O));
    SearchFind1 = newAction(this, QStringLiteral("SearchFind1"), QStringLiteral("查找..."), 6,
                            QKeySequence(Qt::CTRL | Qt::Key_F));
    EditCut1 = newAction(this, QStringLiteral("EditCut1"), QStringLiteral("剪切"), 11,
                         QKeySequence(Qt::CTRL | Qt::Key_X));
    EditCopy1 = newAction(this, QStringLiteral("EditCopy1"), QStringLiteral("复制"), 12,
                          QKeySequence(Qt::CTRL | Qt::Key_C));
    EditPaste1 = newAction(this, QStringLiteral("EditPaste1"), QStringLiteral("粘贴"), 13,
                           QKeySequence(Qt::CTRL | Qt::Key_V));
    EditUndo1 = newAction(this, QStringLiteral("EditUndo1"), QStringLiteral("撤销"), 15,
                          QKeySequence(Qt::CTRL | Qt::Key_Z));
    EditDelete1 = newAction(this, QStringLiteral("EditDelete1"), QStringLiteral("删除"), 10,
                            QKeySequence(Qt::Key_Delete));
    const QList<std::pair<QAction *, QString>> hints = {
        {FileExit1, QStringLiteral("退出程序")},     {FileOpen1, QStringLiteral("打开现有文件")},
        {SearchFind1, QStringLiteral("查找规定文本")}, {EditCut1, QStringLiteral("从剪贴板选择剪贴")},
        {EditCopy1, QStringLiteral("从剪贴板选择复制")}, {EditPaste1, QStringLiteral("粘贴|插入剪贴板内容")},
        {EditUndo1, QStringLiteral("撤销|还原上一次操作")}, {EditDelete1, QStringLiteral("删除|清除选择")},
    };
    for (const auto &[action, hint] : hints)
        action->setToolTip(hint);
    // The window carries the list's actions so that their shortcuts work whatever has the focus.
    addActions({AddAction, DelAction, UpAction, DownAction, FirstAction, LastAction, ClearAction,
                StopDown, FileExit1, FileOpen1, SearchFind1, EditCut1, EditCopy1, EditPaste1,
                EditUndo1, EditDelete1});
}

void TForm1::buildMenus()
{
    const auto menu = [this](const QString &name, const QString &title) {
        QMenu *added = menuBar()->addMenu(title);
        added->setObjectName(name);
        return added;
    };
    const auto item = [](QMenu *in, const QString &name, const QString &caption, int image,
                         const QKeySequence &shortcut = {}) {
        QAction *added = newAction(in, name, caption, image, shortcut);
        in->addAction(added);
        return added;
    };
    auto *titles = new MenuBarStyle(QStyleFactory::create(style()->name()));
    titles->setParent(menuBar());
    menuBar()->setStyle(titles);
    File1 = menu(QStringLiteral("File1"), QStringLiteral("文件(&F)"));
    // The keys desktop programs use: F5 starts as it does a run in an IDE, Shift+F5 stops it; Esc
    // is left alone, pressed to close a menu it would end a wait of minutes.
    NewDownload1 = item(File1, QStringLiteral("NewDownload1"), QStringLiteral("新建下载"), 0,
                        QKeySequence(Qt::CTRL | Qt::Key_N));
    StartDownload1 = item(File1, QStringLiteral("StartDownload1"), QStringLiteral("开始下载"), 2,
                          QKeySequence(Qt::Key_F5));
    StopDownload1 = item(File1, QStringLiteral("StopDownload1"), QStringLiteral("停止下载"), 13,
                         QKeySequence(Qt::SHIFT | Qt::Key_F5));
    Exit1 = item(File1, QStringLiteral("Exit1"), QStringLiteral("退出"), 8, QKeySequence(Qt::CTRL | Qt::Key_Q));
    Edit1 = menu(QStringLiteral("Edit1"), QStringLiteral("编辑(&E)"));
    MoveUP = item(Edit1, QStringLiteral("MoveUP"), QStringLiteral("上移"), 10);
    MoveDown = item(Edit1, QStringLiteral("MoveDown"), QStringLiteral("下移"), 9);
    MoveFirst = item(Edit1, QStringLiteral("MoveFirst"), QStringLiteral("移动到第一"), 11);
    MoveLast = item(Edit1, QStringLiteral("MoveLast"), QStringLiteral("移动到最后"), 12);
    DeleteSelected = item(Edit1, QStringLiteral("DeleteSelected"), QStringLiteral("删除选择"), 1);
    Tools1 = menu(QStringLiteral("Tools1"), QStringLiteral("工具(&T)"));
    // Ctrl+L belongs to ClearAction; the item only shows it, so that the key is not ambiguous.
    ClearList1 = item(Tools1, QStringLiteral("ClearList1"), QStringLiteral("清除列表\tCtrl+L"), 14);
    ImportList1 = item(Tools1, QStringLiteral("ImportList1"), QStringLiteral("输入列表"), 3,
                       QKeySequence(Qt::CTRL | Qt::Key_I));
    History1 = item(Tools1, QStringLiteral("History1"), QStringLiteral("下载记录..."), -1,
                    QKeySequence(Qt::CTRL | Qt::Key_H));
    DownloadOptions1 = item(Tools1, QStringLiteral("DownloadOptions1"), QStringLiteral("保存选项"), 5);
    Settings1 = item(Tools1, QStringLiteral("Settings1"), QStringLiteral("设置..."), -1);
    ShutPC1 = item(Tools1, QStringLiteral("ShutPC1"), QStringLiteral("关机"), 17);
    ShutPC1->setCheckable(true);
    KeepQueue1 = item(Tools1, QStringLiteral("KeepQueue1"), QStringLiteral("保存下载列表"), -1);
    KeepQueue1->setCheckable(true);
    WatchClipboard1 = item(Tools1, QStringLiteral("WatchClipboard1"), QStringLiteral("监视剪贴板"), -1);
    WatchClipboard1->setCheckable(true);
    View1 = menu(QStringLiteral("View1"), QStringLiteral("视图(&V)"));
    Progress1 = item(View1, QStringLiteral("Progress1"), QStringLiteral("显示/隐藏 进度"), -1);
    Help1 = menu(QStringLiteral("Help1"), QStringLiteral("帮助(&H)"));
    Help1->setIcon(CommandIcons::image(4));
    AboutQuorvel1 = item(Help1, QStringLiteral("AboutQuorvel1"), QStringLiteral("关于 Quorvel"), 4);
}

void TForm1::buildListMenu()
{
    ListMenu1 = new QMenu(ListBox1);
    ListMenu1->setObjectName(QStringLiteral("ListMenu1"));
    // Pictures from the Edit menu, which match the toolbar's arrows; the bound actions carry
    // other ones.
    struct Bound
    {
        QString caption;
        const QAction *looksLike;
        QAction *does;
    };
    const QList<Bound> bound = {
        {QStringLiteral("删除"), DeleteSelected, DelAction},  {QStringLiteral("上移"), MoveUP, UpAction},
        {QStringLiteral("下移"), MoveDown, DownAction},       {QStringLiteral("移动到第一"), MoveFirst, FirstAction},
        {QStringLiteral("移动到最后"), MoveLast, LastAction},
    };
    for (const auto &[caption, looksLike, does] : bound)
        connect(ListMenu1->addAction(looksLike->icon(), caption), &QAction::triggered, does, &QAction::trigger);
    ListMenu1->addSeparator();
    CopyUrl1 = newAction(ListMenu1, QStringLiteral("CopyUrl1"), QStringLiteral("复制网址"), -1);
    OpenFolder1 = newAction(ListMenu1, QStringLiteral("OpenFolder1"), QStringLiteral("打开文件夹"), -1);
    ListMenu1->addActions({CopyUrl1, OpenFolder1});
    ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListBox1, &QWidget::customContextMenuRequested, this, &TForm1::ListBox1ContextPopup);
    connect(ListBox1, &QAbstractItemView::doubleClicked, this, &TForm1::ListBox1DblClick);
}

void TForm1::buildToolBars()
{
    // A screen reader names a picture-only button by what its tooltip says.
    const auto named = [](QToolButton *button) {
        button->setAccessibleName(button->toolTip());
        return button;
    };
    const auto button = [&named](ToolStrip *bar, const QString &name, int image, const QString &tip) {
        return named(bar->addButton(name, CommandIcons::image(image), tip));
    };
    addBtn = button(ToolBar1, QStringLiteral("addBtn"), 0, QStringLiteral("新建下载"));
    delBtn = button(ToolBar1, QStringLiteral("delBtn"), 1, QStringLiteral("删除选择文件"));
    ToolBar1->addSeparator();
    strBtn = button(ToolBar1, QStringLiteral("strBtn"), 2, QStringLiteral("开始下载"));
    stpBtn = button(ToolBar1, QStringLiteral("stpBtn"), 13, QStringLiteral("停止下载"));
    ToolBar1->addSeparator();
    UpButton = button(ToolBar1, QStringLiteral("UpButton"), 10, QStringLiteral("上移"));
    DownButton = button(ToolBar1, QStringLiteral("DownButton"), 9, QStringLiteral("下移"));
    FirstBtn = button(ToolBar1, QStringLiteral("FirstBtn"), 11, QStringLiteral("移动到第一"));
    LastBtn = button(ToolBar1, QStringLiteral("LastBtn"), 12, QStringLiteral("移动到最后"));
    ToolBar1->addSeparator();
    impBtn = button(ToolBar1, QStringLiteral("impBtn"), 3, QStringLiteral("输入列表"));
    SaveBtn = button(ToolBar1, QStringLiteral("SaveBtn"), 5, QStringLiteral("保存选项"));
    clrBtn = button(ToolBar1, QStringLiteral("clrBtn"), 14, QStringLiteral("清除列表"));
    ToolBar1->addSeparator();
    shutBtn = named(ToolBar1->addButton(QStringLiteral("shutBtn"), CommandIcons::shutGlyph(),
                                        QStringLiteral("关机")));
    shutBtn->setCheckable(true);

    ToolStrip *side = Panel1->ToolBar2;
    FirstBtn2 = button(side, QStringLiteral("FirstBtn2"), 11, QStringLiteral("移动到第一"));
    UpButton2 = button(side, QStringLiteral("UpButton2"), 10, QStringLiteral("上移"));
    DelBtn2 = button(side, QStringLiteral("DelBtn2"), 1, QStringLiteral("删除选择文件"));
    DownButton2 = button(side, QStringLiteral("DownButton2"), 9, QStringLiteral("下移"));
    LastBtn2 = button(side, QStringLiteral("LastBtn2"), 12, QStringLiteral("移动到最后"));
}

void TForm1::connectHandlers()
{
    const auto run = [this](QAction *action, void (TForm1::*handler)()) {
        connect(action, &QAction::triggered, this, ErrorBox::guarded(this, handler));
    };
    run(AddAction, &TForm1::AddActionExecute);
    run(DelAction, &TForm1::DelActionExecute);
    run(UpAction, &TForm1::UpActionExecute);
    run(DownAction, &TForm1::DownActionExecute);
    run(FirstAction, &TForm1::FirstActionExecute);
    run(LastAction, &TForm1::LastActionExecute);
    run(ClearAction, &TForm1::ClearActionExecute);
    run(StopDown, &TForm1::StopDownExecute);
    run(FileExit1, &TForm1::FileExit1Execute);
    run(FileOpen1, &TForm1::FileOpen1Execute);
    run(SearchFind1, &TForm1::SearchFind1Execute);
    run(EditCut1, &TForm1::EditCut1Execute);
    run(EditCopy1, &TForm1::EditCopy1Execute);
    run(EditPaste1, &TForm1::EditPaste1Execute);
    run(EditUndo1, &TForm1::EditUndo1Execute);
    run(EditDelete1, &TForm1::EditDelete1Execute);
    run(StartDownload1, &TForm1::StartDownload1Click);
    run(ImportList1, &TForm1::ImportList1Click);
    run(History1, &TForm1::History1Click);
    run(DownloadOptions1, &TForm1::DownloadOptions1Click);
    run(ShutPC1, &TForm1::ShutPC1Click);
    run(Progress1, &TForm1::Progress1Click);
    run(AboutQuorvel1, &TForm1::AboutQuorvel1Click);
    run(CopyUrl1, &TForm1::CopyUrl1Click);
    run(OpenFolder1, &TForm1::OpenFolder1Click);

    // Menu items and buttons bound to an action show their own caption and picture and run it.
    const QList<std::pair<QAction *, QAction *>> bound = {
        {NewDownload1, AddAction}, {StopDownload1, StopDown},   {Exit1, FileExit1},
        {MoveUP, UpAction},        {MoveDown, DownAction},      {MoveFirst, FirstAction},
        {MoveLast, LastAction},    {DeleteSelected, DelAction}, {ClearList1, ClearAction},
    };
    for (const auto &[item, action] : bound)
        connect(item, &QAction::triggered, action, &QAction::trigger);
    const QList<std::pair<QToolButton *, QAction *>> buttons = {
        {addBtn, AddAction},     {delBtn, DelAction},       {strBtn, StartDownload1},
        {stpBtn, StopDown},      {UpButton, UpAction},      {DownButton, DownAction},
        {FirstBtn, FirstAction}, {LastBtn, LastAction},     {impBtn, ImportList1},
        {clrBtn, ClearAction},   {FirstBtn2, FirstAction},  {UpButton2, UpAction},
        {DelBtn2, DelAction},    {DownButton2, DownAction}, {LastBtn2, LastAction},
    };
    for (const auto &[button, action] : buttons)
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
    connect(SaveBtn, &QToolButton::clicked, this, ErrorBox::guarded(this, &TForm1::SaveBtnClick));
    connect(shutBtn, &QToolButton::clicked, this, ErrorBox::guarded(this, &TForm1::shutBtnClick));
    connect(Panel1, &ProgressPanel::bareAreaClicked, this, &TForm1::Panel1Click);
}
