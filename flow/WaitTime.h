// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Arithmetic of the countdowns and retry waits, on times of day held as fractions of a day.
// Pure functions; any thread.

/** Time since start, both times of day; a start later in the day than now lies before midnight. */
double elapsedSince(double start, double now);

/**
 * The remaining wait as "hh:mm:ss": the absolute value of the milliseconds left, to the nearest
 * millisecond, modulo one day. Reads "00:00:00" within one second either side of the deadline.
 */
QString remainingTimeText(double remaining);

/** Whether a wait of duration begun at start is over at now (the first tick at or past it). */
bool waitIsOver(double start, double duration, double now);
