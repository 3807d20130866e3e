// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

/**
 * A dialog of fixed outer size; Esc cancels it as it does every dialog, and Enter in a one-line
 * field presses the default button the form names. How much of the outer size is client area depends on the window
 * manager's frame, so a panel meant to fill the client area follows it, and a box meant to sit
 * inside it with even margins stays centred. UI thread only.
 */
class FormDialog : public QDialog
{
    Q_OBJECT

public:
    FormDialog(const QString &caption, QSize outerSize, QWidget *parent);

protected:
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
