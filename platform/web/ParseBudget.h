// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>

/**
 * What one parse may spend before it is given up: a page's tree grows without end on a few
 * dozen KiB of hostile markup, and gumbo's work is quadratic in the nesting depth.
 * Thread contract: a value; cancel may be set from any thread while the parse runs.
 */
struct ParseBudget
{
    /** Set from another thread to end the parse at its next allocation. */
    const std::atomic<bool> *cancel = nullptr;
    /** The parse ends when this passes (the load's deadline). */
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
    /**
     * The processor time the parse may spend: what the page costs, whatever else the machine
     * is doing, where the deadline above is what the user waits.
     */
    std::chrono::nanoseconds maxCpuTime = std::chrono::nanoseconds::max();
    /**
     * Memory the parser may hold at once, blocks and bookkeeping included. gumbo's tree takes
     * about fourteen times the size of dense markup, so a 32 MiB page of it is near the bound.
     */
    std::size_t maxBytes = std::size_t(448) * 1024 * 1024;
    /** Nodes (elements, texts, comments) the tree may have. */
    std::size_t maxNodes = std::size_t(4) * 1000 * 1000;
};

/** Why a parse was given up; None when it ran to the end. */
enum class ParseRefusal { None, Cancelled, Deadline, TooMuchCpuTime, TooManyNodes, TooMuchMemory, TooMuchFormText };
