// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>

/** Whether stream is a terminal, where a live line may be redrawn in place. Any thread. */
bool isTerminal(std::FILE *stream);

/**
 * From now on a write to a closed pipe or socket fails with EPIPE instead of killing the
 * process with SIGPIPE: `quorvel-batch ... | head -n 1` must still finish its downloads.
 * Process-wide; call it once at start-up.
 */
void ignoreClosedOutput();
