// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QModelIndexList>

class DownloadSession;
class HistoryTableModel;
class QLabel;
class QPushButton;
class QTableView;
class UrlOpener;

/**
 * "下载记录": the session's download history as a table, its counts, and what can be done with
 * its records: download them again, open the folder of one's file, clear the history, export the
 * failed URLs as a list file. Modeless; it follows the history while it lives. UI thread only.
 */
class HistoryDialog final : public QDialog
{
    Q_OBJECT

public:
    HistoryDialog(DownloadSession &session, UrlOpener &opener, QWidget *parent);

    QTableView *table() const { return m_table; }

private:
    void showState();
    void downloadAgainClicked();
    void openFolderClicked();
    void clearClicked();
    void exportClicked();
    /** Writes the failed URLs to path, one a line, replacing it whole or not at all; throws. */
    void writeFailedList(const QString &path) const;
    QModelIndexList selectedRows() const;

    DownloadSession &m_session;
    UrlOpener &m_opener;
    HistoryTableModel *m_model;
    QTableView *m_table;
    QLabel *m_counts;
    QPushButton *m_downloadAgain;
    QPushButton *m_openFolder;
    QPushButton *m_clear;
    QPushButton *m_export;
};
