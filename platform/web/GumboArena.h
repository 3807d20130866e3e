// SPDX-License-Identifier: MIT
#pragma once

#include "platform/web/ParseBudget.h"

#include <gumbo.h>

#include <chrono>

#include <array>
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

/**
 * The memory of one gumbo parse, and the parse's bounds. gumbo cannot fail an allocation or be
 * interrupted, so every allocation checks the budget (the cancel flag, the clock, the node count
 * and the memory held) and, when it is spent, jumps straight out of gumbo back to parse(): gumbo's
 * frames hold nothing but memory of this arena, and the arena is released in one sweep.
 *
 * Small blocks come from pages that each hold blocks of one size, with a free list per size:
 * gumbo makes a block for every few characters it reads, and malloc's header and rounding more
 * than doubled the tree's memory. A page's size is looked up from its address, so a block
 * carries no header: at 128 bytes a node, eight more would cost a dense page's tree a sixteenth
 * of its memory. Releasing by regions also means that a tree nested a million deep is never
 * walked to be freed.
 *
 * Thread contract: one parse, on one thread; only the budget's cancel flag is shared.
 */
class GumboArena final
{
public:
    explicit GumboArena(const ParseBudget &budget = {});
    ~GumboArena();
    GumboArena(const GumboArena &) = delete;
    GumboArena &operator=(const GumboArena &) = delete;

    /**
     * Parses the text (which must outlive the arena, as the tree points into it) with
     * options; nullptr when the budget ran out, with refusal() saying why.
     */
    GumboOutput *parse(const GumboOptions &options, const char *text, std::size_t length);
    /** Options that route gumbo's allocations here and record no parse errors. */
    GumboOptions options();
    /** A block for repairs to the tree; never refused, released with the arena. */
    void *allocateUnbounded(std::size_t size);

    ParseRefusal refusal() const { return m_refusal; }
    std::size_t bytesHeld() const { return m_bytesHeld; }

private:
    static void *allocate(void *arena, size_t size);
    static void deallocate(void *arena, void *block);
    void *take(std::size_t size);
    void *takeLarge(std::size_t size);
    /** malloc's memory, or the parse refused (outside one, bad_alloc) when it has none. */
    void *obtain(std::size_t bytes);
    void startPage(std::size_t sizeClass);
    void addRegion();
    void release(void *block);
    void check(std::size_t size);
    void checkClocks();
    static std::chrono::nanoseconds threadCpuTime();
    [[noreturn]] void refuse(ParseRefusal why);

    static constexpr std::size_t granule = 8;
    static constexpr std::size_t largestSmall = 1024;
    static constexpr std::size_t pageBytes = 4096;

    struct FreeBlock
    {
        FreeBlock *next;
    };
    // The blocks of one size: those given back, and the rest of the page being cut.
    struct SizeClass
    {
        FreeBlock *free = nullptr;
        char *cursor = nullptr;
        char *end = nullptr;
    };
    // A run of pages taken from malloc at once, with the size class of each page.
    struct Region
    {
        char *begin;
        char *end;
        std::unique_ptr<std::uint8_t[]> pageClasses;
    };
    // A large block is preceded by its list link and its size.
    struct LargeLink
    {
        LargeLink *previous;
        LargeLink *next;
    };

    const Region *regionHolding(const void *block) const;

    ParseBudget m_budget;
    ParseRefusal m_refusal = ParseRefusal::None;
    std::jmp_buf m_escape;
    bool m_parsing = false;
    std::uint32_t m_sinceClock = 0;
    std::chrono::nanoseconds m_cpuAtStart{0};
    std::chrono::steady_clock::time_point m_lastCpuCheck;
    std::size_t m_nodes = 0;
    std::size_t m_bytesHeld = 0;
    std::size_t m_nextRegion = 64 * 1024;
    // Sorted by address, so that a block's region is found by bisection.
    std::vector<Region> m_regions;
    mutable std::size_t m_lastRegion = 0;
    // The pages of the newest region not yet given to a size.
    char *m_freshPages = nullptr;
    char *m_freshEnd = nullptr;
    std::uint8_t *m_freshClasses = nullptr;
    char *m_freshBegin = nullptr;
    LargeLink m_large{nullptr, nullptr};
    std::array<SizeClass, largestSmall / granule + 1> m_classes{};
};
