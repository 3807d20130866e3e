// SPDX-License-Identifier: MIT
#include "dialogs/FieldLook.h"

#include <QPalette>
#include <QWidget>

void FieldLook::makeGrey(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, grey);
    widget->setPalette(palette);
}

void FieldLook::fillWith(QWidget *widget, QColor colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}
