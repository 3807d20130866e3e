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
    void powerOff(bool) override {}
    void reboot(bool) override {}
    void logOff(bool) override {}
};
