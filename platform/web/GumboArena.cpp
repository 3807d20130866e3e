// SPDX-License-Identifier: MIT
#include "platform/web/GumboArena.h"

#include <cstdlib>

GumboArena::~GumboArena()
{
    for (Link *link = m_blocks.next; link;) {
        Link *const next = link->next;
        std::free(link);
        link = next;
    }
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
    auto *link = static_cast<Link *>(std::malloc(sizeof(Link) + size));
    // gumbo has no way to fail an allocation, and an exception must not cross its C frames.
    if (!link)
        std::abort();
    Link &head = static_cast<GumboArena *>(arena)->m_blocks;
    link->previous = &head;
    link->next = head.next;
    if (head.next)
        head.next->previous = link;
    head.next = link;
    return link + 1;
}

void GumboArena::deallocate(void *, void *block)
{
    if (!block)
        return;
    Link *const link = static_cast<Link *>(block) - 1;
    link->previous->next = link->next;
    if (link->next)
        link->next->previous = link->previous;
    std::free(link);
}
