// SPDX-License-Identifier: MIT
#include "platform/console/Terminal.h"

#include <csignal>
#include <unistd.h>

bool isTerminal(std::FILE *stream)
{
    return ::isatty(::fileno(stream)) == 1;
}

void ignoreClosedOutput()
{
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    sigaction(SIGPIPE, &action, nullptr);
}
