// SPDX-License-Identifier: MIT
#include "platform/web/GumboArena.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

namespace {

struct Block
{
    unsigned char *data;
    std::size_t size;
    unsigned char fill;
};

// Blocks of every small size and a few large ones, each filled with its own byte.
std::vector<Block> takeMany(GumboOptions &options, int round)
{
    std::vector<Block> blocks;
    for (std::size_t size = 1; size <= 1100; size += (size < 300 ? 1 : 37)) {
        auto *data = static_cast<unsigned char *>(options.allocator(options.userdata, size));
        const auto fill = static_cast<unsigned char>(size * 7 + round);
        std::memset(data, fill, size);
        blocks.push_back({data, size, fill});
    }
    return blocks;
}

bool intact(const Block &block)
{
    for (std::size_t i = 0; i < block.size; ++i) {
        if (block.data[i] != block.fill)
            return false;
    }
    return true;
}

TEST(GumboArena, BlocksGivenBackAreReusedWithoutOverlappingThoseStillHeld)
{
    GumboArena arena;
    GumboOptions options = arena.options();
    std::vector<Block> kept = takeMany(options, 0);
    std::vector<Block> given = takeMany(options, 1);
    const std::size_t heldBefore = arena.bytesHeld();
    for (const Block &block : given)
        options.deallocator(options.userdata, block.data);
    // Every size now has a freed block waiting, so the same blocks again need no more memory.
    std::vector<Block> again = takeMany(options, 2);
    EXPECT_LE(arena.bytesHeld(), heldBefore);
    std::set<unsigned char *> givenBack;
    for (const Block &block : given)
        givenBack.insert(block.data);
    for (const Block &block : again) {
        if (block.size <= 1024) {
            EXPECT_TRUE(givenBack.contains(block.data)) << "a block of " << block.size << " bytes was not reused";
        }
    }
    for (const Block &block : kept)
        EXPECT_TRUE(intact(block)) << "a held block of " << block.size << " bytes was overwritten";
    for (const Block &block : again)
        EXPECT_TRUE(intact(block)) << "a reused block of " << block.size << " bytes was overwritten";
}

TEST(GumboArena, ALargeBlockGivenBackReleasesItsMemory)
{
    GumboArena arena;
    GumboOptions options = arena.options();
    void *small = options.allocator(options.userdata, 64);
    const std::size_t held = arena.bytesHeld();
    void *large = options.allocator(options.userdata, 1 << 20);
    EXPECT_GE(arena.bytesHeld(), held + (1 << 20));
    options.deallocator(options.userdata, large);
    EXPECT_EQ(arena.bytesHeld(), held);
    options.deallocator(options.userdata, small);
    options.deallocator(options.userdata, nullptr);
}

} // namespace
