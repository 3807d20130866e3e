// SPDX-License-Identifier: MIT
#pragma once

#include "queue/DownloadEntry.h"

#include <QAbstractTableModel>
#include <QList>
#include <QUrl>

class DownloadHistory;

/**
 * The download history as a table for a view: a row a record, oldest first, with its state, the
 * reason it failed, its file's name and size, when it ended and its URL, each made fit to show. It
 * follows the history's signals one record at a time, so that a long history is never read again
 * for one change. UI thread only.
 */
class HistoryTableModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { StateColumn, ReasonColumn, FileNameColumn, SizeColumn, FinishedColumn, UrlColumn, ColumnCount };

    explicit HistoryTableModel(DownloadHistory &history, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /** The records of rows that may be downloaded again (failed, dropped, removed), in row order. */
    QList<DownloadEntry::Id> idsToDownloadAgain(const QModelIndexList &rows) const;
    /** The file:// URL of the folder that holds row's file; empty when the record names no file. */
    QUrl folderUrl(const QModelIndex &row) const;
    /** "完成 N 个, 失败 N 个, 文件不存在 N 个, 已删除 N 个" of the whole history. */
    QString countsText() const;

private:
    void insertRecords(int first, int count);
    void removeRecord(int index);
    void changeRecord(int index);
    void reset();

    DownloadHistory &m_history;
    // The history announces a change once it is made; the rows the views know of change between
    // the model's begin and end of it.
    int m_rows = 0;
};
