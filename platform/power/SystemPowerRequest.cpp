// SPDX-License-Identifier: MIT
#include "platform/power/SystemPowerRequest.h"

#include "platform/power/LogindPowerRequest.h"

std::unique_ptr<PowerRequest> systemPowerRequest()
{
    return std::make_unique<LogindPowerRequest>(QDBusConnection::systemBus());
}
