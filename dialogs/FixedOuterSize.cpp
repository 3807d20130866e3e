// SPDX-License-Identifier: MIT
#include "dialogs/FixedOuterSize.h"

#include <QEvent>
#include <QWidget>

void FixedOuterSize::apply(QWidget *window, QSize outer)
{
    new FixedOuterSize(window, outer);
}

FixedOuterSize::FixedOuterSize(QWidget *window, QSize outer)
    : QObject(window), m_window(window), m_outer(outer)
{
    window->installEventFilter(this);
    fix();
}

bool FixedOuterSize::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && (event->type() == QEvent::Show || event->type() == QEvent::Move))
        fix();
    return false;
}

void FixedOuterSize::fix()
{
    const QSize frame = m_window->frameGeometry().size() - m_window->geometry().size();
    m_window->setFixedSize(m_outer - frame);
}
