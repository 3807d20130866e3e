// SPDX-License-Identifier: MIT
#include "dialogs/HistoryDialog.h"

#include "common/ErrorText.h"
#include "common/QuorvelError.h"
#include "common/UrlOpener.h"
#include "dialogs/ErrorBox.h"
#include "flow/DownloadSession.h"
#include "queue/HistoryTableModel.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QVBoxLayout>

namespace {

template <class Widget> Widget *named(Widget *widget, const QString &objectName, const QString &accessibleName)
{
    widget->setObjectName(objectName);
    widget->setAccessibleName(accessibleName);
    return widget;
}

QPushButton *button(const QString &objectName, const QString &caption, QWidget *parent)
{
    return named(new QPushButton(caption, parent), objectName, caption);
}

} // namespace

HistoryDialog::HistoryDialog(DownloadSession &session, UrlOpener &opener, QWidget *parent)
    : QDialog(parent)
    , m_session(session)
    , m_opener(opener)
    , m_model(new HistoryTableModel(session.history(), this))
    , m_table(named(new QTableView(this), QStringLiteral("HistoryTable"), QStringLiteral("下载记录列表")))
    , m_counts(named(new QLabel(this), QStringLiteral("HistoryCounts"), QStringLiteral("下载记录统计")))
    , m_downloadAgain(button(QStringLiteral("DownloadAgainBtn"), QStringLiteral("重新下载"), this))
    , m_openFolder(button(QStringLiteral("OpenFolderBtn"), QStringLiteral("打开文件夹"), this))
    , m_clear(button(QStringLiteral("ClearHistoryBtn"), QStringLiteral("清除记录"), this))
    , m_export(button(QStringLiteral("ExportFailedBtn"), QStringLiteral("导出失败列表..."), this))
{
    setObjectName(QStringLiteral("HistoryDialog"));
    setWindowTitle(QStringLiteral("下载记录"));
    setAccessibleName(windowTitle());
    resize(860, 380);

    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    // A URL and a file name tell themselves apart at both ends: the host and the name's extension.
    m_table->setTextElideMode(Qt::ElideMiddle);
    m_table->verticalHeader()->hide();
    // Fixed widths: measuring every row's text would read a long history whole on each change.
    const QList<std::pair<int, int>> widths = {
        {HistoryTableModel::StateColumn, 72},     {HistoryTableModel::ReasonColumn, 110},
        {HistoryTableModel::FileNameColumn, 150}, {HistoryTableModel::SizeColumn, 80},
        {HistoryTableModel::FinishedColumn, 140},
    };
    for (const auto &[column, width] : widths)
        m_table->setColumnWidth(column, width);
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto *close = button(QStringLiteral("CloseBtn"), QStringLiteral("关闭"), this);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *each : {m_downloadAgain, m_openFolder, m_clear, m_export})
        buttons->addWidget(each);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(m_counts);
    layout->addLayout(buttons);

    connect(m_downloadAgain, &QPushButton::clicked, this, &HistoryDialog::downloadAgainClicked);
    connect(m_openFolder, &QPushButton::clicked, this, &HistoryDialog::openFolderClicked);
    connect(m_clear, &QPushButton::clicked, this, &HistoryDialog::clearClicked);
    connect(m_export, &QPushButton::clicked, this, &HistoryDialog::exportClicked);
    connect(close, &QPushButton::clicked, this, &HistoryDialog::reject);
    // A selected record may change its state or go while the dialog is open.
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &HistoryDialog::showState);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &HistoryDialog::showState);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &HistoryDialog::showState);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &HistoryDialog::showState);
    connect(m_model, &QAbstractItemModel::modelReset, this, &HistoryDialog::showState);
    showState();
}

QModelIndexList HistoryDialog::selectedRows() const
{
    return m_table->selectionModel()->selectedRows();
}

void HistoryDialog::showState()
{
    m_counts->setText(m_model->countsText());
    const QModelIndexList rows = selectedRows();
    m_downloadAgain->setEnabled(!m_model->idsToDownloadAgain(rows).isEmpty());
    m_openFolder->setEnabled(rows.size() == 1 && !m_model->folderUrl(rows.constFirst()).isEmpty());
}

void HistoryDialog::downloadAgainClicked()
{
    for (const DownloadEntry::Id id : m_model->idsToDownloadAgain(selectedRows()))
        m_session.downloadAgain(id);
}

void HistoryDialog::openFolderClicked()
{
    const QModelIndexList rows = selectedRows();
    if (rows.size() == 1) {
        if (const QUrl folder = m_model->folderUrl(rows.constFirst()); !folder.isEmpty())
            m_opener.open(folder);
    }
}

void HistoryDialog::clearClicked()
{
    if (QMessageBox::question(this, appTitle(), QStringLiteral("确定清除全部下载记录?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes)
        m_session.history().clear();
}

void HistoryDialog::exportClicked()
{
    QFileDialog chooser(this, QStringLiteral("导出失败列表"));
    chooser.setObjectName(QStringLiteral("ExportDialog1"));
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setNameFilters({QStringLiteral("文本文件 (*.txt)"), QStringLiteral("所有文件 (*)")});
    chooser.setDefaultSuffix(QStringLiteral("txt"));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return;
    const QString path = chooser.selectedFiles().constFirst();
    ErrorBox::run(this, [this, &path] { writeFailedList(path); });
}

void HistoryDialog::writeFailedList(const QString &path) const
{
    QByteArray content;
    for (const QString &url : m_session.history().failedUrls())
        content += url.toUtf8() + '\n';
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        throw QuorvelError(QStringLiteral("不能写入文件 \"%1\". %2").arg(path, file.errorString()));
}
