// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

/**
 * A dialog of fixed outer size with neither a default nor a cancel button: Enter and Esc press
 * nothing and do not close it. How much of the outer size is client area depends on the window
 * manager's frame, so a panel meant to fill the client area follows it, and a box meant to sit
 * inside it with even margins stays centred. UI thread only.
 */
class FormDialog : public QDialog
{
    Q_OBJECT

public:
    FormDialog(const QString &caption, QSize outerSize, QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

    /** panel covers the client area from now on. */
    void fillClientArea(QWidget *panel);
    /** box keeps its size and stays in the middle of the client area from now on. */
    void centreInClientArea(QWidget *box);

private:
    void place();

    QWidget *m_filling = nullptr;
    QWidget *m_centred = nullptr;
};
