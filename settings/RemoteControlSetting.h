// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/**
 * The window's remote control (aria2's JSON-RPC): off unless turned on, on loopback only, and
 * never without a secret. A value; any thread.
 */
struct RemoteControlSetting
{
    static constexpr int defaultPort = 6800;

    bool enabled = false;
    int port = defaultPort;
    QString secret;

    friend bool operator==(const RemoteControlSetting &, const RemoteControlSetting &) = default;
};
