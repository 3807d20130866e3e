// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>

// The texts of the progress fields, in the default locale, which is the user's (decimal separator,
// long time format).
// Pure functions of their arguments and the locale; any thread.

/** KiB as megabytes with two decimals and " MB": 1536 gives "1.50 MB". */
QString megabytesText(std::uint32_t kib);

/**
 * received of total as a whole percentage with two zero decimals and " %", never above 100; empty
 * while the total is unknown (0).
 */
QString percentText(std::uint32_t received, std::uint32_t total);

/** A duration below one day in the long time format, without a time zone. */
QString longTimeText(double days);

/**
 * Whole seconds of an estimate: below a day as longTimeText gives it, from a day on with the hours
 * running past 24 ("27:03:10"), since no time of day can hold it.
 */
QString durationText(std::int64_t seconds);
