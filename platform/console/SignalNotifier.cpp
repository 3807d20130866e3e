// SPDX-License-Identifier: MIT
#include "platform/console/SignalNotifier.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

// SIGHUP too: a closed terminal must stop a run as Ctrl+C does, not kill it with a part file left.
constexpr int stopSignals[] = {SIGINT, SIGTERM, SIGHUP};
int signalPipe[2] = {-1, -1};

void onSignal(int signalNumber)
{
    // Only async-signal-safe calls here. The write end does not block, so a burst of signals
    // that fills the pipe drops bytes instead of hanging the interrupted thread; and the code
    // that was interrupted must find errno as it left it.
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

void handle(int signalNumber, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signalNumber, &action, nullptr);
}

} // namespace

SignalNotifier::SignalNotifier(QObject *parent) : QObject(parent)
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("no pipe for signal handling");
    m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalNotifier::readSignal);
    for (int signalNumber : stopSignals)
        handle(signalNumber, onSignal);
}

SignalNotifier::~SignalNotifier()
{
    for (int signalNumber : stopSignals)
        handle(signalNumber, SIG_DFL);
    delete m_notifier;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void SignalNotifier::readSignal()
{
    unsigned char byte = 0;
    if (::read(signalPipe[0], &byte, 1) == 1)
        emit interrupted(byte);
}
