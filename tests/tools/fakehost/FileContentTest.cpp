// SPDX-License-Identifier: MIT
#include "tools/fakehost/FileContent.h"

#include <gtest/gtest.h>

namespace {

TEST(FileContent, anyRangeMatchesTheWholeStream)
{
    const FileContent content("data.bin", 1000);
    const std::string whole = content.bytes(0, 1010);
    for (const std::uint64_t offset : {0u, 1u, 7u, 8u, 9u, 15u, 500u, 993u})
        for (const std::size_t length : {0u, 1u, 7u, 8u, 9u})
            EXPECT_EQ(content.bytes(offset, length), whole.substr(offset, length)) << offset << "+" << length;
}

TEST(FileContent, nameAndSizeBothChangeTheBytes)
{
    const std::string base = FileContent("a.bin", 64).bytes(0, 64);
    EXPECT_NE(FileContent("b.bin", 64).bytes(0, 64), base);
    EXPECT_NE(FileContent("a.bin", 65).bytes(0, 64), base);
    EXPECT_EQ(FileContent("a.bin", 64).bytes(0, 64), base);
}

// Scripts and other tests compute these bytes on their own from the documented formula; a change
// of the stream would silently break them.
TEST(FileContent, streamStaysAsDocumented)
{
    EXPECT_EQ(FileContent("report%20v2.zip", 100000).bytes(0, 4), std::string("\xdf\xa1\xb0\x9d"));
}

} // namespace
