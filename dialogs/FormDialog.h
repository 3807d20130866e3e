// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

/**
 * A dialog of fixed outer size with neither a default nor a cancel button: Enter and Esc press
 * nothing and do not close it. UI thread only.
 */
class FormDialog : public QDialog
{
    Q_OBJECT

public:
    FormDialog(const QString &caption, QSize outerSize, QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
