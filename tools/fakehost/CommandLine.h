// SPDX-License-Identifier: MIT
#pragma once

#include "tools/fakehost/HostDefaults.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/** What quorvel-fakehost was asked to do. */
struct CommandLine final
{
    enum class Action { serve, printFile, help };

    Action action = Action::serve;
    /** 0: an ephemeral port. */
    int port = 0;
    std::optional<unsigned> exitAfterSeconds;
    HostDefaults defaults;
    std::string printName;
    std::uint64_t printSize = 0;

    /** arguments without the program name; throws std::invalid_argument on a mistake. */
    static CommandLine parse(const std::vector<std::string_view> &arguments);
    static std::string usage();
};
