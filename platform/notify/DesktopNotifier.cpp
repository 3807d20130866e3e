// SPDX-License-Identifier: MIT
#include "platform/notify/DesktopNotifier.h"

#include "platform/notify/FreedesktopNotifier.h"

std::unique_ptr<UserNotifier> desktopNotifier()
{
    return std::make_unique<FreedesktopNotifier>(QDBusConnection::sessionBus());
}
