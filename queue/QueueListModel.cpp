// SPDX-License-Identifier: MIT
#include "queue/QueueListModel.h"

#include "queue/DownloadQueue.h"
#include "queue/ShownUrl.h"

QueueListModel::QueueListModel(DownloadQueue &queue, QObject *parent)
    : QAbstractListModel(parent)
    , m_queue(queue)
    , m_rows(queue.count())
{
    connect(&queue, &DownloadQueue::entriesInserted, this, &QueueListModel::insertRows);
    connect(&queue, &DownloadQueue::entryRemoved, this, &QueueListModel::removeRow);
    connect(&queue, &DownloadQueue::entryMoved, this, &QueueListModel::moveRow);
    connect(&queue, &DownloadQueue::entriesReset, this, &QueueListModel::reset);
    connect(&queue, &DownloadQueue::entryChanged, this, &QueueListModel::changeRow);
}

int QueueListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

QVariant QueueListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_queue.count())
        return {};
    // The list only shows the entry; the queue keeps it as it was given.
    return shownUrl(m_queue.at(index.row()));
}

void QueueListModel::insertRows(int first, int count)
{
    beginInsertRows(QModelIndex(), first, first + count - 1);
    m_rows += count;
    endInsertRows();
}

void QueueListModel::removeRow(int index)
{
    beginRemoveRows(QModelIndex(), index, index);
    --m_rows;
    endRemoveRows();
}

void QueueListModel::moveRow(int from, int to)
{
    // The destination is the row the entry goes before, counted before it leaves.
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    endMoveRows();
}

void QueueListModel::reset()
{
    beginResetModel();
    m_rows = m_queue.count();
    endResetModel();
}

void QueueListModel::changeRow(int index)
{
    emit dataChanged(this->index(index), this->index(index));
}
