// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

/**
 * A rate as aria2's options write it: bytes per second, with K or M for 1024 or 1024 * 1024 of
 * them ("500K", "2M", "0"); none for anything else.
 */
std::optional<std::int64_t> byteRateFrom(const QString &text);
