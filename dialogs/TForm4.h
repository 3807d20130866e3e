// SPDX-License-Identifier: MIT
#pragma once

#include "dialogs/FormDialog.h"
#include "dialogs/FormRefs.h"

class QComboBox;
class QFileSystemModel;
class QFrame;
class QModelIndex;
class QPushButton;
class QTreeView;

/**
 * "下载路径": picks a folder from the file-system tree; OK puts its path into the SavePath of the
 * options dialog that FormRefs::Form2 names. It opens on the current save folder (the default
 * folder while none is set), selected, expanded and in view, so that OK at once keeps the folder
 * the user sees. UI thread only.
 */
class TForm4 final : public FormDialog
{
    Q_OBJECT

public:
    explicit TForm4(FormRefs &forms, QWidget *parent = nullptr);

    /** The full path of the folder selected in the combo box; empty when none is. */
    QString selectedPath() const;
    /** Selects path in the tree, which the combo box follows, and scrolls it into view. */
    void selectPath(const QString &path);

    QFrame *Panel1;
    QComboBox *ShellComboBox1;
    QTreeView *ShellTreeView1;
    QPushButton *Button1;
    QPushButton *Button2;

    void Button1Click();
    void Button2Click();

private:
    void buildControls();
    /** The save folder, or the nearest folder above it that exists. */
    QString openingFolder() const;
    void keepInView();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void treeSelected(const QModelIndex &index);
    void comboActivated(int row);

    FormRefs &m_forms;
    QFileSystemModel *m_folders;
    /** Until the user acts, the selected folder is kept in view while the folders load. */
    bool m_following = true;
};
