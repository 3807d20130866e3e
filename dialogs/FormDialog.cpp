// SPDX-License-Identifier: MIT
#include "dialogs/FormDialog.h"

#include "dialogs/FixedOuterSize.h"

#include <QKeyEvent>

FormDialog::FormDialog(const QString &caption, QSize outerSize, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(caption);
    FixedOuterSize::apply(this, outerSize);
}

void FormDialog::keyPressEvent(QKeyEvent *event)
{
    // QDialog would reject on Esc; these dialogs close only through a button or the close box.
    if (event->key() == Qt::Key_Escape)
        event->accept();
    else
        QDialog::keyPressEvent(event);
}
