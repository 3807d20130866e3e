// SPDX-License-Identifier: MIT
#pragma once

#include "common/UserNotifier.h"

#include <memory>

/**
 * The notifier the program itself uses: the desktop's notification service on the session bus.
 * Composition roots only.
 */
std::unique_ptr<UserNotifier> desktopNotifier();
