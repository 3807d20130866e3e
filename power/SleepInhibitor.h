// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

/**
 * A lock that keeps the system from suspending, by itself or when idle, while it is held; never
 * from powering off. UI thread only, refusals included.
 */
class SleepInhibitor
{
public:
    /** Why the lock could not be had, in words for the user. */
    using Refusal = std::function<void(const QString &whyNot)>;

    virtual ~SleepInhibitor() = default;

    /**
     * Takes the lock; why is what the desktop shows for it. Never waits for the system: refused
     * runs once, from the event loop or before the call returns, if the lock cannot be had, and
     * never after release().
     */
    virtual void hold(const QString &why, Refusal refused) = 0;
    /** Gives the lock back at once, or gives up one still on its way. */
    virtual void release() = 0;
};
