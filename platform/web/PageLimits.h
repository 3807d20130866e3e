// SPDX-License-Identifier: MIT
#pragma once

#include "platform/web/ParseBudget.h"

#include <QtGlobal>

#include <chrono>
#include <cstddef>

/** Bounds on one page load, so that no server can make the engine hang or grow without end. */
struct PageLimits
{
    /** A page (or frame) whose body is larger than this is not loaded. */
    qint64 maxPageBytes = qint64(32) * 1024 * 1024;
    /**
     * The page and all its frames must have arrived, and the page been parsed, within this time
     * of the request; it also ends trickling servers.
     */
    std::chrono::milliseconds loadTimeout{std::chrono::minutes(2)};
    /** Frames beyond this many are not loaded (each would cost a request). */
    int maxFrames = 64;
    /**
     * A parse may spend this much processor time, plus parseTimePerMiB for each MiB of the
     * page: twice what gumbo needs for ordinary markup, and within five seconds at the size
     * cap, which a hostile page (nested a hundred thousand deep, say) reaches long before its end.
     */
    std::chrono::milliseconds parseTimeBase{1000};
    std::chrono::milliseconds parseTimePerMiB{100};
    /** Memory the parser may hold for one page. */
    std::size_t maxParseBytes = ParseBudget().maxBytes;
    /** Nodes one page's tree may have. */
    std::size_t maxParseNodes = ParseBudget().maxNodes;
};
