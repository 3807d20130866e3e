// SPDX-License-Identifier: MIT
#include "dialogs/FormDialog.h"

#include "dialogs/FixedOuterSize.h"

FormDialog::FormDialog(const QString &caption, QSize outerSize, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(caption);
    FixedOuterSize::apply(this, outerSize);
}

void FormDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    place();
}

void FormDialog::fillClientArea(QWidget *panel)
{
    m_filling = panel;
    place();
}

void FormDialog::centreInClientArea(QWidget *box)
{
    m_centred = box;
    place();
}

// The designed sizes assume the frame of one window manager; a thinner one leaves more client
// area, which would show as an empty band along the right and bottom edges.
void FormDialog::place()
{
    if (m_filling)
        m_filling->setGeometry(rect());
    if (m_centred)
        m_centred->move(rect().center() - m_centred->rect().center());
}
