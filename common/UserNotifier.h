// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/**
 * Tells the user something while they look elsewhere, as a desktop notification. Where the
 * desktop has no way to show one, nothing happens. The call returns at once. UI thread only.
 */
class UserNotifier
{
public:
    virtual ~UserNotifier() = default;

    virtual void notify(const QString &title, const QString &body) = 0;
};
