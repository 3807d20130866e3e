// SPDX-License-Identifier: MIT
#include "queue/HistoryTableModel.h"

#include "automation/ShownText.h"
#include "queue/DownloadHistory.h"
#include "queue/ShownUrl.h"
#include "transfer/ProgressText.h"

#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace {

QString stateText(DownloadEntry::State state)
{
    switch (state) {
    case DownloadEntry::State::Done:
        return QStringLiteral("完成");
    case DownloadEntry::State::Failed:
        return QStringLiteral("失败");
    case DownloadEntry::State::Dropped:
        return QStringLiteral("文件不存在");
    case DownloadEntry::State::Removed:
        return QStringLiteral("已删除");
    case DownloadEntry::State::Waiting:
    case DownloadEntry::State::Active:
    case DownloadEntry::State::Paused:
        break;
    }
    return QString();
}

QString sizeText(qint64 bytes)
{
    if (bytes < 0)
        return QString();
    // The progress fields count in 32-bit KiB; a file beyond 4 TiB shows as that much.
    const qint64 kib = std::min<qint64>(bytes / 1024, std::numeric_limits<std::uint32_t>::max());
    return megabytesText(std::uint32_t(kib));
}

QString columnText(const DownloadEntry &entry, int column)
{
    // The reason, the file name and the URL come from servers and lists: shown, never trusted.
    switch (column) {
    case HistoryTableModel::StateColumn:
        return stateText(entry.state);
    case HistoryTableModel::ReasonColumn:
        if (entry.state == DownloadEntry::State::Failed && entry.lastFailure)
            return shownText(entry.lastFailure->reason);
        return entry.command ? QStringLiteral("完成后的命令: ") + shownText(entry.command->result) : QString();
    case HistoryTableModel::FileNameColumn:
        return shownText(QFileInfo(entry.fileName).fileName());
    case HistoryTableModel::SizeColumn:
        return sizeText(entry.sizeBytes);
    case HistoryTableModel::FinishedColumn:
        return entry.finished.isValid() ? entry.finished.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                        : QString();
    case HistoryTableModel::UrlColumn:
        return shownUrl(entry.url);
    }
    return QString();
}

bool mayDownloadAgain(DownloadEntry::State state)
{
    return state == DownloadEntry::State::Failed || state == DownloadEntry::State::Dropped
        || state == DownloadEntry::State::Removed;
}

} // namespace

HistoryTableModel::HistoryTableModel(DownloadHistory &history, QObject *parent)
    : QAbstractTableModel(parent)
    , m_history(history)
    , m_rows(history.count())
{
    connect(&history, &DownloadHistory::recordsInserted, this, &HistoryTableModel::insertRecords);
    connect(&history, &DownloadHistory::recordRemoved, this, &HistoryTableModel::removeRecord);
    connect(&history, &DownloadHistory::recordChanged, this, &HistoryTableModel::changeRecord);
    connect(&history, &DownloadHistory::recordsReset, this, &HistoryTableModel::reset);
}

int HistoryTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int HistoryTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_history.count())
        return {};
    const DownloadEntry &entry = m_history.at(index.row());
    // What the command printed is too long for a cell; its cell shows it on hovering, escaped,
    // since a tooltip that looks like markup is taken as markup.
    if (role == Qt::ToolTipRole && index.column() == ReasonColumn && entry.command && !entry.command->output.isEmpty())
        return QStringLiteral("<pre>%1</pre>").arg(entry.command->output.toHtmlEscaped());
    if (role != Qt::DisplayRole)
        return {};
    return columnText(entry, index.column());
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList titles = {
        QStringLiteral("状态"), QStringLiteral("原因"), QStringLiteral("文件名"),
        QStringLiteral("大小"), QStringLiteral("时间"), QStringLiteral("网址"),
    };
    return titles.value(section);
}

QList<DownloadEntry::Id> HistoryTableModel::idsToDownloadAgain(const QModelIndexList &rows) const
{
    QList<int> ordered;
    for (const QModelIndex &row : rows)
        ordered.append(row.row());
    std::sort(ordered.begin(), ordered.end());
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
    // Ids, not rows: each record taken back into the queue moves the rows after it up.
    QList<DownloadEntry::Id> ids;
    for (const int row : ordered) {
        if (row < 0 || row >= m_history.count())
            continue;
        const DownloadEntry &entry = m_history.at(row);
        if (mayDownloadAgain(entry.state))
            ids.append(entry.id);
    }
    return ids;
}

QUrl HistoryTableModel::folderUrl(const QModelIndex &row) const
{
    if (!row.isValid() || row.row() >= m_history.count())
        return QUrl();
    const QString fileName = m_history.at(row.row()).fileName;
    if (fileName.isEmpty())
        return QUrl();
    return QUrl::fromLocalFile(QFileInfo(fileName).absolutePath());
}

QString HistoryTableModel::countsText() const
{
    const DownloadHistory::Counts counts = m_history.counts();
    return QStringLiteral("完成 %1 个, 失败 %2 个, 文件不存在 %3 个, 已删除 %4 个")
        .arg(counts.done)
        .arg(counts.failed)
        .arg(counts.dropped)
        .arg(counts.removed);
}

void HistoryTableModel::insertRecords(int first, int count)
{
    beginInsertRows(QModelIndex(), first, first + count - 1);
    m_rows += count;
    endInsertRows();
}

void HistoryTableModel::removeRecord(int index)
{
    beginRemoveRows(QModelIndex(), index, index);
    --m_rows;
    endRemoveRows();
}

void HistoryTableModel::changeRecord(int index)
{
    emit dataChanged(this->index(index, 0), this->index(index, ColumnCount - 1));
}

void HistoryTableModel::reset()
{
    beginResetModel();
    m_rows = m_history.count();
    endResetModel();
}
