// SPDX-License-Identifier: MIT
#pragma once

#include <gumbo.h>

#include <cstddef>

/**
 * The memory of one gumbo parse, released in one sweep. gumbo frees its tree recursively, which
 * overflows the stack on a page nested a few hundred thousand deep; with every block recorded
 * here the tree never has to be walked to be freed.
 * Thread contract: one parse at a time; the arena is not shared between threads.
 */
class GumboArena final
{
public:
    GumboArena() = default;
    ~GumboArena();
    GumboArena(const GumboArena &) = delete;
    GumboArena &operator=(const GumboArena &) = delete;

    /** Options that route gumbo's allocations here and record no parse errors. */
    GumboOptions options();

private:
    static void *allocate(void *arena, size_t size);
    static void deallocate(void *arena, void *block);

    // Every live block starts with a link in this list, so recording and forgetting a block cost
    // two pointer writes; gumbo allocates for every few characters it reads.
    struct alignas(std::max_align_t) Link
    {
        Link *previous;
        Link *next;
    };
    Link m_blocks{nullptr, nullptr};
};
