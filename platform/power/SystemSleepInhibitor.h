// SPDX-License-Identifier: MIT
#pragma once

#include "power/SleepInhibitor.h"

#include <memory>

/** The sleep lock the program itself takes: logind's, on the system bus. Composition roots only. */
std::unique_ptr<SleepInhibitor> systemSleepInhibitor();
