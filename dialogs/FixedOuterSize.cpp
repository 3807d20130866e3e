// SPDX-License-Identifier: MIT
#include "dialogs/FixedOuterSize.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace {

// Long enough for a window manager under load to frame a window; a window it leaves unframed
// (or no window manager at all) costs these few looks and nothing more.
constexpr auto lookInterval = std::chrono::milliseconds(50);
constexpr int looksAfterShow = 100;

} // namespace

void FixedOuterSize::apply(QWidget *window, QSize outer)
{
    new FixedOuterSize(window, outer);
}

FixedOuterSize::FixedOuterSize(QWidget *window, QSize outer)
    : QObject(window), m_window(window), m_outer(outer)
{
    m_lookAgain.setSingleShot(true);
    m_lookAgain.setInterval(lookInterval);
    connect(&m_lookAgain, &QTimer::timeout, this, &FixedOuterSize::fix);
    window->installEventFilter(this);
    fix();
}

bool FixedOuterSize::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && (event->type() == QEvent::Show || event->type() == QEvent::Move)) {
        // The native window exists from the first show on; installing twice is harmless.
        if (QWindow *native = m_window->windowHandle())
            native->installEventFilter(this);
        if (event->type() == QEvent::Show)
            m_looksLeft = looksAfterShow;
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
    const QSize clientSize = m_window->size();
    // The widget's own frame geometry is brought up to date only by moves and resizes, and keeps
    // whatever the frame looked like half-way through framing; the native window reads the frame
    // afresh after each of the window manager's configure events.
    const QWindow *native = m_window->windowHandle();
    const QSize frameSize = native ? clientSize.grownBy(native->frameMargins()) : clientSize;
    m_window->setFixedSize(clientSizeFor(m_outer, frameSize, clientSize));
    const bool framed = frameSize.width() > clientSize.width() || frameSize.height() > clientSize.height();
    if (!framed && m_window->isVisible() && m_looksLeft > 0) {
        --m_looksLeft;
        m_lookAgain.start();
    }
}
