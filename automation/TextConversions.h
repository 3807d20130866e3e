// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>

// The text conversions that the page scanners and the transfer display share. They keep the
// number rules of the original Windows program, because page texts are cut to fit them.
// Pure functions; any thread.

/**
 * Whole seconds as "h:m:s" without leading zeros. Hours and minutes are taken as unsigned 16-bit
 * values and the seconds keep their sign, so -90 gives "0:65535:-30" (which no time conversion
 * accepts: a negative wait cannot slip through as a valid one).
 */
QString FormatSecsToHMS(std::int32_t seconds);

/**
 * A signed 32-bit integer: leading blanks, an optional sign, then decimal digits or hexadecimal
 * ones after "$", "x" or "0x", running to the end of the text.
 * Throws QuorvelError "'%s' 不是一个合法的整数值" otherwise.
 */
std::int32_t textToInteger(const QString &text);

/**
 * "h:m:s" (each a run of decimal digits, h < 24, m < 60, s < 60) as a fraction of a day.
 * Throws QuorvelError "‘%s’不是一个有效时间" otherwise.
 */
double textToTime(const QString &text);
