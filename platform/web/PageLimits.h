// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

#include <chrono>

/** Bounds on one page load, so that no server can make the engine hang or grow without end. */
struct PageLimits
{
    /** A page (or frame) whose body is larger than this is not loaded. */
    qint64 maxPageBytes = qint64(32) * 1024 * 1024;
    /** The page and all its frames must have arrived within this time; it also ends trickling servers. */
    std::chrono::milliseconds loadTimeout{std::chrono::minutes(2)};
    /** Frames beyond this many are not loaded (each would cost a request). */
    int maxFrames = 64;
};
