// SPDX-License-Identifier: MIT
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

/**
 * The value of a text made of decimal digits only, when it is at most max. Signs, blanks and
 * other bases are refused, so a typo in a URL or an argument is reported instead of half-read.
 */
inline std::optional<std::uint64_t> parseUnsigned(std::string_view text, std::uint64_t max)
{
    std::uint64_t value = 0;
    const char *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value > max)
        return std::nullopt;
    return value;
}
