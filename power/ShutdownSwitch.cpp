// SPDX-License-Identifier: MIT
#include "power/ShutdownSwitch.h"

#include "power/ExitWindowsByMode.h"
#include "power/PowerRequest.h"

#include <QPointer>

#include <utility>

namespace {
QString unavailableAtEnd(const QString &whyNot)
{
    return QStringLiteral("下载队列已结束, 但无法关机: ") + whyNot;
}
} // namespace

ShutdownSwitch::ShutdownSwitch(PowerRequest &request, std::function<bool()> runBusy,
                               std::chrono::milliseconds countdownStep, QObject *parent)
    : QObject(parent)
    , m_request(request)
    , m_runBusy(std::move(runBusy))
    , m_countdown(countdownStep)
{
    connect(&m_countdown, &ShutdownCountdown::expired, this, &ShutdownSwitch::powerOff);
    connect(&m_countdown, &ShutdownCountdown::cancelled, this, &ShutdownSwitch::release);
}

ShutdownSwitch::State ShutdownSwitch::state() const
{
    return m_state;
}

bool ShutdownSwitch::isDown() const
{
    return m_state == State::Armed;
}

ShutdownCountdown &ShutdownSwitch::countdown()
{
    return m_countdown;
}

bool ShutdownSwitch::powerOffPending() const
{
    return m_powerOffPending;
}

void ShutdownSwitch::buttonClicked(bool down)
{
    setState(down ? State::Armed : State::Released);
}

void ShutdownSwitch::menuChosen()
{
    setState(State::Armed);
}

void ShutdownSwitch::CheckShutDown(RunEnd why)
{
    if (m_state != State::Armed || m_runBusy())
        return;
    // A countdown on a machine that cannot be switched off would promise what never happens.
    if (m_whyNot && !m_whyNot->isEmpty()) {
        emit powerOffUnavailable(unavailableAtEnd(*m_whyNot));
        return;
    }
    // A count already running is this same power-off.
    if (!m_countdown.start(countdownSeconds, reasonText(why)))
        return;
    // Hours may have passed since the arming's answer, or it has not come yet: the count goes on
    // only while the system says it would power off.
    checkAvailability();
}

void ShutdownSwitch::workStarted()
{
    m_countdown.withdraw();
    emit runHasWork();
}

QString ShutdownSwitch::reasonText(RunEnd why)
{
    switch (why) {
    case RunEnd::DownloadsCompleted:
        return QStringLiteral("下载已完成");
    case RunEnd::DownloadStopped:
        return QStringLiteral("下载已停止, 队列中没有更多网址");
    case RunEnd::NothingQueued:
        break;
    }
    return QStringLiteral("队列中没有要下载的网址");
}

void ShutdownSwitch::setState(State state)
{
    const bool wasDown = isDown();
    m_state = state;
    if (isDown() == wasDown)
        return;
    // Letting the button up during the count is as plain a no as the dialog's Cancel.
    if (!isDown())
        m_countdown.withdraw();
    emit downChanged(isDown());
    // Asked at once, so that a user who arms it hears while still there that it cannot happen.
    if (isDown())
        checkAvailability();
}

void ShutdownSwitch::checkAvailability()
{
    const quint64 check = ++m_check;
    m_request.checkPowerOff([self = QPointer(this), check](const QString &whyNot) {
        if (self && check == self->m_check)
            self->availabilityKnown(whyNot);
    });
}

void ShutdownSwitch::availabilityKnown(const QString &whyNot)
{
    m_whyNot = whyNot;
    if (whyNot.isEmpty() || !isDown())
        return;
    if (!m_countdown.isRunning()) {
        emit powerOffUnavailable(QStringLiteral("队列结束后将无法关机: ") + whyNot);
        return;
    }
    // Said before the count ends, so that a front end that ends with it has said it.
    emit powerOffUnavailable(unavailableAtEnd(whyNot));
    m_countdown.withdraw();
}

void ShutdownSwitch::release()
{
    setState(State::Released);
}

void ShutdownSwitch::powerOff()
{
    // Whoever started work should have withdrawn the count; still, never cut a run short.
    if (m_runBusy())
        return;
    m_powerOffPending = true;
    ExitWindowsByMode(m_request, QStringLiteral("1"), true, [self = QPointer(this)](const QString &whyNot) {
        if (!self)
            return;
        self->m_powerOffPending = false;
        if (!whyNot.isEmpty()) {
            // Until it is armed again, the end of the queue says so instead of counting down in vain.
            self->m_whyNot = whyNot;
            emit self->powerOffUnavailable(QStringLiteral("系统拒绝关机: ") + whyNot);
        }
        emit self->powerOffAnswered();
    });
}
