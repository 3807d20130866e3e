// SPDX-License-Identifier: MIT
#include "ModalWatcher.h"

#include <QApplication>
#include <QFileDialog>

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

void acceptFile(QFileDialog *chooser, const QString &path)
{
    // selectFile leaves the name field alone while it has the focus, which a shown dialog may
    // have given it by now: the dialog would then take its folder for the choice and open it.
    if (QWidget *focused = chooser->focusWidget())
        focused->clearFocus();
    chooser->selectFile(path);
    // accept() is protected in QFileDialog.
    static_cast<QDialog *>(chooser)->accept();
}
