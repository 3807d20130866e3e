// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

/** What a file gets when its page URL does not say otherwise; set on the command line. */
struct HostDefaults final
{
    std::uint64_t size = 1024 * 1024;
    unsigned countdown = 5;
    /** Bytes per second for a file body; 0 sends as fast as the connection takes them. */
    std::uint64_t rate = 0;
};
