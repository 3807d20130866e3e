// SPDX-License-Identifier: MIT
#include "power/ShutdownSwitch.h"

#include "power/ExitWindowsByMode.h"
#include "power/PowerRequest.h"

#include <utility>

ShutdownSwitch::ShutdownSwitch(PowerRequest &request, std::function<bool()> transferRunning,
                               std::chrono::milliseconds countdownStep, QObject *parent)
    : QObject(parent)
    , m_request(request)
    , m_transferRunning(std::move(transferRunning))
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

void ShutdownSwitch::CheckShutDown()
{
    // A countdown on a machine that cannot be switched off would promise what never happens.
    if (m_state != State::Armed || m_transferRunning() || !m_request.isAvailable())
        return;
    // The end of the queue checks twice in a row; a count already running is this same power-off.
    m_countdown.start(countdownSeconds);
}

void ShutdownSwitch::transferStarted()
{
    m_countdown.withdraw();
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
    // Whoever started a transfer should have said so; still, never cut a running one short.
    if (m_transferRunning())
        return;
    ExitWindowsByMode(m_request, QStringLiteral("1"), true);
}
