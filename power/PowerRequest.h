// SPDX-License-Identifier: MIT
#pragma once

/**
 * Asks the operating system to end the user's work: power off, restart or log off. A forced request
 * ends running programs without letting them ask about unsaved work. The calls return at once and
 * report nothing: the system acts afterwards, or refuses without a word. UI thread only.
 */
class PowerRequest
{
public:
    virtual ~PowerRequest() = default;

    /** Whether a request can reach the system at all; when it cannot, nothing may be requested. */
    virtual bool isAvailable() const = 0;
    virtual void powerOff(bool force) = 0;
    virtual void reboot(bool force) = 0;
    virtual void logOff(bool force) = 0;
};
