// SPDX-License-Identifier: MIT
#include "platform/web/GumboArena.h"

#include <cstdlib>

GumboArena::~GumboArena()
{
    for (void *block : m_blocks)
        std::free(block);
}

GumboOptions GumboArena::options()
{
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &GumboArena::allocate;
    options.deallocator = &GumboArena::deallocate;
    options.userdata = this;
    // gumbo copies the stack of open elements into every error it records, which costs memory
    // quadratic in the nesting depth; the engine never reads the errors.
    options.max_errors = 0;
    return options;
}

void *GumboArena::allocate(void *arena, size_t size)
{
    void *block = std::malloc(size ? size : 1);
    // gumbo has no way to fail an allocation, and an exception must not cross its C frames.
    if (!block)
        std::abort();
    static_cast<GumboArena *>(arena)->m_blocks.insert(block);
    return block;
}

void GumboArena::deallocate(void *arena, void *block)
{
    if (block && static_cast<GumboArena *>(arena)->m_blocks.erase(block))
        std::free(block);
}
