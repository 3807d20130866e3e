// SPDX-License-Identifier: MIT
#include "power/ExitWindowsByMode.h"

void ExitWindowsByMode(PowerRequest &request, const QString &mode, bool force, const PowerRequest::Answer &answer)
{
    void (PowerRequest::*call)(bool, PowerRequest::Answer) = nullptr;
    if (mode == QLatin1String("1"))
        call = &PowerRequest::powerOff;
    else if (mode == QLatin1String("2"))
        call = &PowerRequest::reboot;
    else if (mode == QLatin1String("3"))
        call = &PowerRequest::logOff;
    if (!call)
        return;
    if (!request.isAvailable()) {
        if (answer)
            answer(QStringLiteral("无法联系系统的电源管理"));
        return;
    }
    (request.*call)(force, answer);
}
