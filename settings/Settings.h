// SPDX-License-Identifier: MIT
#pragma once

#include "settings/ProxySetting.h"
#include "settings/RemoteControlSetting.h"
#include "settings/SpeedLimit.h"

#include <QString>

/**
 * What the user sets for every download: the proxy, the speed limit, the command after each file;
 * and the remote control that may add and manage them.
 */
struct Settings
{
    ProxySetting proxy;
    SpeedLimit speed;
    /** Run after each file that arrived; empty: none. */
    QString onDownloadComplete;
    RemoteControlSetting remote;

    friend bool operator==(const Settings &, const Settings &) = default;
};
