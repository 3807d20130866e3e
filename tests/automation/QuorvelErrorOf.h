// SPDX-License-Identifier: MIT
#pragma once

#include "common/QuorvelError.h"

#include <QString>

#include <functional>
#include <optional>

/** The message of the QuorvelError that step throws, or nullopt when it throws none. */
inline std::optional<QString> quorvelErrorOf(const std::function<void()> &step)
{
    try {
        step();
    } catch (const QuorvelError &error) {
        return error.message();
    }
    return std::nullopt;
}
