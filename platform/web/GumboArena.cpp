// SPDX-License-Identifier: MIT
#include "platform/web/GumboArena.h"

#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t largestRegion = std::size_t(4) * 1024 * 1024;
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
    for (const Region &region : m_regions)
        std::free(region.begin);
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
    SizeClass &blocks = m_classes[sizeClass];
    if (FreeBlock *block = blocks.free) {
        blocks.free = block->next;
        return block;
    }
    const std::size_t bytes = sizeClass * granule;
    if (std::size_t(blocks.end - blocks.cursor) < bytes)
        startPage(sizeClass);
    void *block = blocks.cursor;
    blocks.cursor += bytes;
    return block;
}

void GumboArena::startPage(std::size_t sizeClass)
{
    if (m_freshPages == m_freshEnd)
        addRegion();
    m_freshClasses[std::size_t(m_freshPages - m_freshBegin) / pageBytes] = std::uint8_t(sizeClass);
    SizeClass &blocks = m_classes[sizeClass];
    blocks.cursor = m_freshPages;
    blocks.end = m_freshPages + pageBytes;
    m_freshPages += pageBytes;
}

void GumboArena::addRegion()
{
    const std::size_t bytes = m_nextRegion;
    auto *begin = static_cast<char *>(obtain(bytes));
    Region region{begin, begin + bytes, std::make_unique<std::uint8_t[]>(bytes / pageBytes)};
    m_freshBegin = begin;
    m_freshPages = begin;
    m_freshEnd = begin + bytes;
    m_freshClasses = region.pageClasses.get();
    const auto at = std::upper_bound(m_regions.begin(), m_regions.end(), begin,
                                     [](const char *address, const Region &r) { return address < r.begin; });
    m_regions.insert(at, std::move(region));
    m_bytesHeld += bytes;
    m_nextRegion = std::min(m_nextRegion * 2, largestRegion);
}

void *GumboArena::obtain(std::size_t bytes)
{
    void *memory = std::malloc(bytes);
    if (!memory) {
        if (m_parsing)
            refuse(ParseRefusal::TooMuchMemory);
        throw std::bad_alloc();
    }
    return memory;
}

void *GumboArena::takeLarge(std::size_t size)
{
    constexpr std::size_t overhead = sizeof(LargeLink) + sizeof(std::size_t);
    auto *link = static_cast<LargeLink *>(obtain(overhead + size));
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

const GumboArena::Region *GumboArena::regionHolding(const void *block) const
{
    const auto *address = static_cast<const char *>(block);
    const auto holds = [address](const Region &region) { return address >= region.begin && address < region.end; };
    // gumbo mostly frees what it has just taken, which lies in the newest or the same region.
    if (m_lastRegion < m_regions.size() && holds(m_regions[m_lastRegion]))
        return &m_regions[m_lastRegion];
    const auto after = std::upper_bound(m_regions.begin(), m_regions.end(), address,
                                        [](const char *a, const Region &r) { return a < r.begin; });
    if (after == m_regions.begin() || !holds(*(after - 1)))
        return nullptr;
    m_lastRegion = std::size_t(after - 1 - m_regions.begin());
    return &*(after - 1);
}

void GumboArena::deallocate(void *arena, void *block)
{
    if (block)
        static_cast<GumboArena *>(arena)->release(block);
}

void GumboArena::release(void *block)
{
    if (const Region *region = regionHolding(block)) {
        const std::size_t page = std::size_t(static_cast<char *>(block) - region->begin) / pageBytes;
        SizeClass &blocks = m_classes[region->pageClasses[page]];
        auto *freed = static_cast<FreeBlock *>(block);
        freed->next = blocks.free;
        blocks.free = freed;
        return;
    }
    std::size_t *header = static_cast<std::size_t *>(block) - 1;
    auto *link = reinterpret_cast<LargeLink *>(header) - 1;
    link->previous->next = link->next;
    if (link->next)
        link->next->previous = link->previous;
    m_bytesHeld -= sizeof(LargeLink) + sizeof(std::size_t) + *header;
    std::free(link);
}
