// SPDX-License-Identifier: MIT
#include "ModalWatcher.h"

#include <QApplication>

ModalWatcher::ModalWatcher(std::function<bool(QWidget *)> handle)
    : m_handle(std::move(handle))
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::poll);
    m_timer.start();
}

void ModalWatcher::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || modal == m_last)
        return;
    m_last = modal;
    if (m_handle(modal)) {
        m_done = true;
        m_timer.stop();
    }
}
