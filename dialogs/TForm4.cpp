// SPDX-License-Identifier: MIT
#include "dialogs/TForm4.h"

#include "dialogs/TForm2.h"
#include "platform/system/DownloadFolder.h"

#include <QComboBox>
#include <QEvent>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTreeView>

TForm4::TForm4(FormRefs &forms, QWidget *parent)
    : FormDialog(QStringLiteral("下载路径"), QSize(439, 325), parent), m_forms(forms),
      m_folders(new QFileSystemModel(this))
{
    setObjectName(QStringLiteral("Form4"));
    // The default provider knows only theme icons; this one falls back to the style's folders.
    static QFileIconProvider standardIcons;
    m_folders->setIconProvider(&standardIcons);
    m_folders->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    // The tree is a snapshot taken while the dialog is open; watching every folder costs more
    // than it gives.
    m_folders->setOption(QFileSystemModel::DontWatchForChanges);
    m_folders->setRootPath(QDir::rootPath());
    m_folders->sort(0);
    buildControls();
    connect(ShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TForm4::treeSelected);
    connect(ShellComboBox1, &QComboBox::activated, this, &TForm4::comboActivated);
    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm4::Button2Click);
    // The folders load and sort themselves in the background; each row that arrives above the
    // opening folder pushes it down, out of view.
    connect(m_folders, &QFileSystemModel::rowsInserted, this, &TForm4::keepInView);
    connect(m_folders, &QFileSystemModel::layoutChanged, this, &TForm4::keepInView);
    for (QWidget *touched : {static_cast<QWidget *>(ShellTreeView1), ShellTreeView1->viewport(),
                             static_cast<QWidget *>(ShellComboBox1)})
        touched->installEventFilter(this);
    selectPath(openingFolder());
    ShellTreeView1->expand(ShellTreeView1->currentIndex());
}

QString TForm4::openingFolder() const
{
    QString folder = m_forms.Form2 ? m_forms.Form2->saveFolder() : QString();
    if (folder.isEmpty())
        folder = DownloadFolder::defaultPath();
    folder = QDir::cleanPath(QDir(folder).absolutePath());
    while (!QFileInfo(folder).isDir()) {
        const QString above = QFileInfo(folder).path();
        // A drive that is not there has no folder above it.
        if (above == folder)
            return QDir::rootPath();
        folder = above;
    }
    return folder;
}

void TForm4::keepInView()
{
    if (m_following)
        ShellTreeView1->scrollTo(ShellTreeView1->currentIndex());
}

bool TForm4::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::Wheel:
        m_following = false;
        break;
    default:
        break;
    }
    return FormDialog::eventFilter(watched, event);
}

void TForm4::buildControls()
{
    Panel1 = new QFrame(this);
    Panel1->setGeometry(0, 0, 431, 291);
    fillClientArea(Panel1);
    ShellComboBox1 = new QComboBox(this);
    ShellComboBox1->setGeometry(16, 24, 201, 22);
    ShellComboBox1->setModel(m_folders);
    ShellComboBox1->setMaxVisibleItems(8);
    ShellTreeView1 = new QTreeView(this);
    ShellTreeView1->setGeometry(16, 64, 401, 161);
    ShellTreeView1->setModel(m_folders);
    ShellTreeView1->setHeaderHidden(true);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        ShellTreeView1->hideColumn(column);
    ShellTreeView1->setRootIsDecorated(false);
    ShellTreeView1->setIndentation(19);
    Button1 = new QPushButton(QStringLiteral("确定"), this);
    Button1->setGeometry(112, 240, 75, 25);
    Button2 = new QPushButton(QStringLiteral("取消"), this);
    Button2->setGeometry(240, 240, 75, 25);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    ShellComboBox1->setObjectName(QStringLiteral("ShellComboBox1"));
    ShellTreeView1->setObjectName(QStringLiteral("ShellTreeView1"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2->setObjectName(QStringLiteral("Button2"));
    Button1->setDefault(true);
    setTabOrder(ShellTreeView1, ShellComboBox1);
    setTabOrder(ShellComboBox1, Button1);
    setTabOrder(Button1, Button2);
    ShellTreeView1->setFocus();
}

QString TForm4::selectedPath() const
{
    const int row = ShellComboBox1->currentIndex();
    if (row < 0)
        return QString();
    return m_folders->filePath(m_folders->index(row, 0, ShellComboBox1->rootModelIndex()));
}

void TForm4::selectPath(const QString &path)
{
    const QModelIndex index = m_folders->index(path);
    ShellTreeView1->setCurrentIndex(index);
    ShellTreeView1->scrollTo(index);
}

void TForm4::treeSelected(const QModelIndex &index)
{
    // The combo box lists the selected folder among its siblings.
    ShellComboBox1->setRootModelIndex(index.parent());
    ShellComboBox1->setCurrentIndex(index.isValid() ? index.row() : -1);
}

void TForm4::comboActivated(int row)
{
    ShellTreeView1->setCurrentIndex(m_folders->index(row, 0, ShellComboBox1->rootModelIndex()));
}

void TForm4::Button1Click()
{
    m_forms.Form2->setSavePath(selectedPath());
    accept();
}

void TForm4::Button2Click()
{
    reject();
}
