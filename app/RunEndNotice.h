// SPDX-License-Identifier: MIT
#pragma once

#include "flow/RestReason.h"
#include "queue/OutcomeTally.h"

#include <QObject>

class DownloadSession;
class QWidget;
class UserNotifier;

/**
 * Tells a user who is looking at another window that a run has ended by itself: at the end of
 * the queue, at a URL that already failed, or at a page it cannot read; with the files done,
 * dropped and failed since the run began. Nothing while the window is the active one, and
 * nothing when the user stopped the run. UI thread only.
 */
class RunEndNotice final : public QObject
{
    Q_OBJECT

public:
    RunEndNotice(DownloadSession &session, UserNotifier &notifier, const QWidget &window, QObject *parent = nullptr);

private:
    void cameToRest(RestReason reason);

    UserNotifier &m_notifier;
    const QWidget &m_window;
    OutcomeTally m_tally;
};
