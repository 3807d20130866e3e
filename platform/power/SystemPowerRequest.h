// SPDX-License-Identifier: MIT
#pragma once

#include "power/PowerRequest.h"

#include <memory>

/** The request the program itself makes: logind on the system bus. Composition roots only. */
std::unique_ptr<PowerRequest> systemPowerRequest();
