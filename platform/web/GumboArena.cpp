// SPDX-License-Identifier: MIT
#include "platform/web/GumboArena.h"

#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t largestChunk = std::size_t(4) * 1024 * 1024;
// How many allocations pass between two looks at the clock; gumbo allocates every few
// characters, and at the worst nesting a step between two allocations is well under a millisecond.
constexpr std::uint32_t allocationsPerClockCheck = 64;
// The thread's processor time costs a system call, so it is read only this often.
constexpr auto cpuCheckInterval = std::chrono::milliseconds(20);

} // namespace

GumboArena::GumboArena(const ParseBudget &budget)
    : m_budget(budget)
{
}

GumboArena::~GumboArena()
{
    for (Chunk *chunk = m_chunks; chunk;) {
        Chunk *const next = chunk->next;
        std::free(chunk);
        chunk = next;
    }
    for (LargeLink *link = m_large.next; link;) {
        LargeLink *const next = link->next;
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

GumboOutput *GumboArena::parse(const GumboOptions &options, const char *text, std::size_t length)
{
    m_cpuAtStart = threadCpuTime();
    m_lastCpuCheck = std::chrono::steady_clock::now();
    m_parsing = true;
    // Only gumbo's C frames and allocate() lie between here and the jump, and none of them owns
    // anything but blocks of this arena.
    if (setjmp(m_escape) != 0) {
        m_parsing = false;
        return nullptr;
    }
    GumboOutput *const output = gumbo_parse_with_options(&options, text, length);
    m_parsing = false;
    return output;
}

void *GumboArena::allocateUnbounded(std::size_t size)
{
    return take(size);
}

void *GumboArena::allocate(void *arena, size_t size)
{
    auto &self = *static_cast<GumboArena *>(arena);
    self.check(size);
    return self.take(size);
}

void GumboArena::check(std::size_t size)
{
    if (!m_parsing)
        return;
    if (m_budget.cancel && m_budget.cancel->load(std::memory_order_relaxed))
        refuse(ParseRefusal::Cancelled);
    // Counted by size, as gumbo says nothing else of what it allocates: an upper estimate,
    // since a child list of sixteen and a text of 127 bytes have a node's size too.
    if (size == sizeof(GumboNode) && ++m_nodes > m_budget.maxNodes)
        refuse(ParseRefusal::TooManyNodes);
    if (m_bytesHeld + size > m_budget.maxBytes)
        refuse(ParseRefusal::TooMuchMemory);
    if (++m_sinceClock >= allocationsPerClockCheck) {
        m_sinceClock = 0;
        checkClocks();
    }
}

void GumboArena::checkClocks()
{
    const auto now = std::chrono::steady_clock::now();
    if (now >= m_budget.deadline)
        refuse(ParseRefusal::Deadline);
    if (now - m_lastCpuCheck < cpuCheckInterval)
        return;
    m_lastCpuCheck = now;
    if (threadCpuTime() - m_cpuAtStart >= m_budget.maxCpuTime)
        refuse(ParseRefusal::TooMuchCpuTime);
}

std::chrono::nanoseconds GumboArena::threadCpuTime()
{
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
}

void GumboArena::refuse(ParseRefusal why)
{
    m_refusal = why;
    std::longjmp(m_escape, 1);
}

void *GumboArena::take(std::size_t size)
{
    if (size > largestSmall)
        return takeLarge(size);
    const std::size_t sizeClass = std::max<std::size_t>(1, (size + granule - 1) / granule);
    if (FreeBlock *block = m_free[sizeClass]) {
        m_free[sizeClass] = block->next;
        return block;
    }
    auto *header = static_cast<std::size_t *>(carve(sizeof(std::size_t) + sizeClass * granule));
    *header = sizeClass * granule;
    return header + 1;
}

void *GumboArena::takeLarge(std::size_t size)
{
    constexpr std::size_t overhead = sizeof(LargeLink) + sizeof(std::size_t);
    auto *link = static_cast<LargeLink *>(std::malloc(overhead + size));
    if (!link) {
        if (m_parsing)
            refuse(ParseRefusal::TooMuchMemory);
        throw std::bad_alloc();
    }
    link->previous = &m_large;
    link->next = m_large.next;
    if (m_large.next)
        m_large.next->previous = link;
    m_large.next = link;
    m_bytesHeld += overhead + size;
    auto *header = reinterpret_cast<std::size_t *>(link + 1);
    *header = size;
    return header + 1;
}

void *GumboArena::carve(std::size_t bytes)
{
    if (std::size_t(m_end - m_cursor) < bytes) {
        const std::size_t chunkBytes = std::max(m_nextChunk, bytes + sizeof(Chunk));
        auto *chunk = static_cast<Chunk *>(std::malloc(chunkBytes));
        if (!chunk) {
            if (m_parsing)
                refuse(ParseRefusal::TooMuchMemory);
            throw std::bad_alloc();
        }
        chunk->next = m_chunks;
        m_chunks = chunk;
        m_cursor = reinterpret_cast<char *>(chunk + 1);
        m_end = reinterpret_cast<char *>(chunk) + chunkBytes;
        m_bytesHeld += chunkBytes;
        m_nextChunk = std::min(m_nextChunk * 2, largestChunk);
    }
    void *block = m_cursor;
    m_cursor += bytes;
    return block;
}

void GumboArena::deallocate(void *arena, void *block)
{
    if (!block)
        return;
    auto &self = *static_cast<GumboArena *>(arena);
    std::size_t *header = static_cast<std::size_t *>(block) - 1;
    const std::size_t size = *header;
    if (size <= largestSmall) {
        auto *freed = static_cast<FreeBlock *>(block);
        freed->next = self.m_free[size / granule];
        self.m_free[size / granule] = freed;
        return;
    }
    auto *link = reinterpret_cast<LargeLink *>(header) - 1;
    link->previous->next = link->next;
    if (link->next)
        link->next->previous = link->previous;
    self.m_bytesHeld -= sizeof(LargeLink) + sizeof(std::size_t) + size;
    std::free(link);
}
