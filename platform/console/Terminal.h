// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>

/** Whether stream is a terminal, where a live line may be redrawn in place. Any thread. */
bool isTerminal(std::FILE *stream);
