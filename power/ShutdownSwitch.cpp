// SPDX-License-Identifier: MIT
#include "power/ShutdownSwitch.h"

#include "power/ExitWindowsByMode.h"
#include "power/PowerRequest.h"

#include <utility>

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
    // A countdown on a machine that cannot be switched off would promise what never happens.
    if (m_state != State::Armed || m_runBusy() || !m_request.isAvailable())
        return;
    // The end of the queue checks twice in a row; a count already running is this same power-off.
    m_countdown.start(countdownSeconds, reasonText(why));
}

void ShutdownSwitch::workStarted()
{
    m_countdown.withdraw();
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
    ExitWindowsByMode(m_request, QStringLiteral("1"), true);
}
