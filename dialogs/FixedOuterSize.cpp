// SPDX-License-Identifier: MIT
#include "dialogs/FixedOuterSize.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

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
    if (watched == m_window && (event->type() == QEvent::Show || event->type() == QEvent::Move)) {
        // The native window exists from the first show on; installing twice is harmless.
        if (QWindow *native = m_window->windowHandle())
            native->installEventFilter(this);
        fix();
    } else if (watched != m_window && event->type() == QEvent::Expose) {
        fix();
    }
    return false;
}

QSize FixedOuterSize::clientSizeFor(QSize outer, QSize frameSize, QSize clientSize)
{
    const QSize frame = frameSize - clientSize;
    // A frame not yet known would count as a negative one and double the window's size.
    if (frame.width() < 0 || frame.height() < 0)
        return clientSize;
    return outer - frame;
}

void FixedOuterSize::fix()
{
    m_window->setFixedSize(
        clientSizeFor(m_outer, m_window->frameGeometry().size(), m_window->geometry().size()));
}
