// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QSize>
#include <QTimer>

class QWidget;

/**
 * Keeps a window's outer size, frame included, fixed: the client area is what remains once the
 * window manager has told us how thick its frame is. An X11 window manager frames a window only
 * after it is shown, and a dialog it places where asked is not moved afterwards, so the size is
 * fixed again when the window is first drawn as well as on every show and move. The manager may
 * tell its frame after all of those, and Qt passes that on to no widget: while a shown window has
 * no frame yet, its size is fixed again every little while, for a bounded time. UI thread only.
 */
class FixedOuterSize final : public QObject
{
    Q_OBJECT

public:
    /** Lives as a child of window. */
    static void apply(QWidget *window, QSize outer);
    /**
     * The client size that gives outer with the frame that frameSize and clientSize show, or
     * clientSize itself while they cannot be a frame's: before the window manager has told its
     * frame, a window's frame geometry may be smaller than its client area.
     */
    static QSize clientSizeFor(QSize outer, QSize frameSize, QSize clientSize);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FixedOuterSize(QWidget *window, QSize outer);
    void fix();

    QWidget *m_window;
    QSize m_outer;
    QTimer m_lookAgain;
    int m_looksLeft = 0;
};
