// SPDX-License-Identifier: MIT
#pragma once

#include "power/ShutdownCountdown.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

class PowerRequest;

/**
 * Whether to power the machine off once the download queue has run out. The toolbar button and
 * the menu item arm it; the end of the queue checks it, and a countdown that the user can cancel
 * stands between the check and the forced power-off. Arming asks the system whether it would power
 * off; a power-off that cannot happen is said at arming, at the end of the queue and when the
 * system refuses it, and no countdown promises it. UI thread only.
 */
class ShutdownSwitch final : public QObject
{
    Q_OBJECT

public:
    enum class State { NeverUsed, Armed, Released };
    /** Why the queue ran out; the countdown says it, since only one of them means files arrived. */
    enum class RunEnd { DownloadsCompleted, DownloadStopped, NothingQueued };
    static constexpr int countdownSeconds = 60;

    /**
     * runBusy answers whether the run still has work: an entry in the queue, a page loading, a
     * page countdown or wait, a transfer. No countdown starts and no power-off is requested then.
     * countdownStep is the length of one counted second; tests shorten it.
     */
    ShutdownSwitch(PowerRequest &request, std::function<bool()> runBusy,
                   std::chrono::milliseconds countdownStep = std::chrono::seconds(1),
                   QObject *parent = nullptr);

    State state() const;
    /** The button's Down state: power-off is armed. */
    bool isDown() const;
    /** Shown by the main window's dialog or the batch runner's console from its started() on. */
    ShutdownCountdown &countdown();
    /** The power-off was requested and the system has not answered yet. */
    bool powerOffPending() const;

    /** The button was clicked; its click has already flipped it, so down is its new state. */
    void buttonClicked(bool down);
    /** The menu item was chosen: arms, whatever the item's own check mark now shows. */
    void menuChosen();
    /**
     * The queue has run out: when armed, idle and able to, counts down to a forced power-off. When
     * the system is known not to power off, says so instead.
     */
    void CheckShutDown(RunEnd why);
    /**
     * The run has work again (a start, a page, a page timer, a retry wait, a transfer): a running
     * countdown ends without a request and power-off stays armed.
     */
    void workStarted();

    /** The countdown's reason for why: "下载已完成" only when files did arrive. */
    static QString reasonText(RunEnd why);

signals:
    /** The button must follow: the menu item pushes it down and the countdown's Cancel lets it up. */
    void downChanged(bool down);
    /** A power-off that is armed will not happen; text says when and why, for the user. */
    void powerOffUnavailable(const QString &text);
    /** The system answered the power-off request, after powerOffUnavailable() if it refused. */
    void powerOffAnswered();
    /** Sent by each workStarted(), for whoever follows the run's work. */
    void runHasWork();

private:
    void setState(State state);
    void release();
    void powerOff();
    /** Asks the system again; only the latest question's answer counts. */
    void checkAvailability();
    void availabilityKnown(const QString &whyNot);

    PowerRequest &m_request;
    std::function<bool()> m_runBusy;
    ShutdownCountdown m_countdown;
    State m_state = State::NeverUsed;
    /** The system's last word: empty when it would power off; nothing while none came. */
    std::optional<QString> m_whyNot;
    quint64 m_check = 0;
    bool m_powerOffPending = false;
};
