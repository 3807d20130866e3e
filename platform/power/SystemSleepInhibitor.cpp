// SPDX-License-Identifier: MIT
#include "platform/power/SystemSleepInhibitor.h"

#include "platform/power/LogindSleepInhibitor.h"

std::unique_ptr<SleepInhibitor> systemSleepInhibitor()
{
    return std::make_unique<LogindSleepInhibitor>(QDBusConnection::systemBus());
}
