// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

/**
 * Asks the operating system to end the user's work: power off, restart or log off. A forced request
 * ends running programs without letting them ask about unsaved work. The calls return at once; what
 * the system says comes back later through an Answer. UI thread only, answers included.
 */
class PowerRequest
{
public:
    /**
     * What the system said, once: an empty text when it took the request (or would take one), else
     * why not, in words for the user. An empty Answer means nobody listens.
     */
    using Answer = std::function<void(const QString &whyNot)>;

    virtual ~PowerRequest() = default;

    /** Whether a request can reach the system at all; when it cannot, nothing may be requested. */
    virtual bool isAvailable() const = 0;
    /**
     * Whether a forced power-off would be taken now. Never waits for the system: the answer comes
     * from the event loop, or before the call returns when it is known already.
     */
    virtual void checkPowerOff(Answer answer) = 0;
    virtual void powerOff(bool force, Answer answer) = 0;
    virtual void reboot(bool force, Answer answer) = 0;
    virtual void logOff(bool force, Answer answer) = 0;
};
