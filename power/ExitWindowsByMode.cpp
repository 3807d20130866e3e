// SPDX-License-Identifier: MIT
#include "power/ExitWindowsByMode.h"

#include "power/PowerRequest.h"

void ExitWindowsByMode(PowerRequest &request, const QString &mode, bool force)
{
    if (!request.isAvailable())
        return;
    if (mode == QLatin1String("1"))
        request.powerOff(force);
    else if (mode == QLatin1String("2"))
        request.reboot(force);
    else if (mode == QLatin1String("3"))
        request.logOff(force);
}
