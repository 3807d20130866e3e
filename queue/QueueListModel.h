// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractListModel>

class DownloadQueue;

/**
 * The queue as a list for a view: a row an entry, in order, each shown as shownUrl shows its URL.
 * It follows the queue's change signals one entry at a time, so that a view of a long queue never
 * reads it all again for one change. UI thread only.
 */
class QueueListModel final : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit QueueListModel(DownloadQueue &queue, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    void insertRows(int first, int count);
    void removeRow(int index);
    void moveRow(int from, int to);
    void reset();
    void changeRow(int index);

    DownloadQueue &m_queue;
    // The queue announces a change once it is made; the rows the views know of change between the
    // model's begin and end of it.
    int m_rows = 0;
};
