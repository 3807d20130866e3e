// SPDX-License-Identifier: MIT
#pragma once

#include "power/PowerRequest.h"

/**
 * A power request that can never reach the system: for tools and benchmarks, which must not be
 * able to switch the machine off whatever the flow they drive would do. Any thread.
 */
class NoPowerRequest final : public PowerRequest
{
public:
    bool isAvailable() const override { return false; }
    void checkPowerOff(Answer answer) override
    {
        if (answer)
            answer(QStringLiteral("此程序不会关机"));
    }
    void powerOff(bool, Answer) override { }
    void reboot(bool, Answer) override { }
    void logOff(bool, Answer) override { }
};
