// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

class QFileDialog;

/**
 * Meets the modal dialogs that a test's action opens: from the event loop, hands each new
 * active modal widget to handle until handle answers true (it has dealt with the last one it
 * expects and closed it). A test that opens a modal creates a watcher first.
 */
class ModalWatcher final : public QObject
{
public:
    explicit ModalWatcher(std::function<bool(QWidget *)> handle);

    bool done() const { return m_done; }

private:
    void poll();

    std::function<bool(QWidget *)> m_handle;
    QTimer m_timer;
    QPointer<QWidget> m_last;
    bool m_done = false;
};

/** Names path in a file dialog and accepts it, as a user who types the whole path would. */
void acceptFile(QFileDialog *chooser, const QString &path);
