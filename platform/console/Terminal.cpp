// SPDX-License-Identifier: MIT
#include "platform/console/Terminal.h"

#include <unistd.h>

bool isTerminal(std::FILE *stream)
{
    return ::isatty(::fileno(stream)) == 1;
}
