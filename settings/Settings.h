// SPDX-License-Identifier: MIT
#pragma once

#include "settings/ProxySetting.h"
#include "settings/SpeedLimit.h"

#include <QString>

/** What the user sets for every download: the proxy, the speed limit, the command after each file. */
struct Settings
{
    ProxySetting proxy;
    SpeedLimit speed;
    /** Run after each file that arrived; empty: none. */
    QString onDownloadComplete;

    friend bool operator==(const Settings &, const Settings &) = default;
};
