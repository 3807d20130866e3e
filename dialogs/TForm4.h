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
 * options dialog that FormRefs::Form2 names. UI thread only.
 */
class TForm4 final : public FormDialog
{
    Q_OBJECT

public:
    explicit TForm4(FormRefs &forms, QWidget *parent = nullptr);

    /** The full path of the folder selected in the combo box; empty when none is. */
    QString selectedPath() const;
    /** Selects path in the tree, which the combo box follows. */
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
    void treeSelected(const QModelIndex &index);
    void comboActivated(int row);

    FormRefs &m_forms;
    QFileSystemModel *m_folders;
};
