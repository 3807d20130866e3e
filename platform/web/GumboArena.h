// SPDX-License-Identifier: MIT
#pragma once

#include <gumbo.h>

#include <cstddef>
#include <unordered_set>

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

    std::unordered_set<void *> m_blocks;
};
