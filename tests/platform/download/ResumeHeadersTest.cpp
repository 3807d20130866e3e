// SPDX-License-Identifier: MIT
#include "platform/download/ResumeHeaders.h"

#include <gtest/gtest.h>

#include <optional>

namespace {
struct RangeRow
{
    const char *value;
    std::optional<ResumeHeaders::ContentRange> expected;
};

class ContentRangeTest : public ::testing::TestWithParam<RangeRow>
{
};

TEST_P(ContentRangeTest, Parses)
{
    const auto parsed = ResumeHeaders::parseContentRange(GetParam().value);
    ASSERT_EQ(parsed.has_value(), GetParam().expected.has_value());
    if (!parsed)
        return;
    EXPECT_EQ(parsed->first, GetParam().expected->first);
    EXPECT_EQ(parsed->last, GetParam().expected->last);
    EXPECT_EQ(parsed->total, GetParam().expected->total);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ContentRangeTest,
    ::testing::Values(RangeRow{"bytes 100-999/1000", ResumeHeaders::ContentRange{100, 999, 1000}},
                      RangeRow{"bytes 0-0/1", ResumeHeaders::ContentRange{0, 0, 1}},
                      RangeRow{"bytes 5-9/*", ResumeHeaders::ContentRange{5, 9, std::nullopt}},
                      RangeRow{"bytes 100-1000/1000", std::nullopt}, RangeRow{"bytes 9-5/10", std::nullopt},
                      RangeRow{"bytes */1000", std::nullopt}, RangeRow{"bytes -5-9/10", std::nullopt},
                      RangeRow{"items 0-9/10", std::nullopt}, RangeRow{"bytes 0-9/99999999999999999999", std::nullopt},
                      RangeRow{"", std::nullopt}));

ResumeHeaders headers(std::initializer_list<const char *> lines)
{
    ResumeHeaders result;
    for (const char *line : lines)
        result.addLine(line);
    return result;
}

TEST(ResumeHeaders, StrongEtagBeforeLastModifiedAndWeakOnesNever)
{
    const char *modified = "Last-Modified: Tue, 01 Dec 2026 10:00:00 GMT\r\n";
    EXPECT_EQ(headers({"HTTP/1.1 200 OK\r\n", "ETag: \"abc\"\r\n", modified}).validator(), QByteArray("\"abc\""));
    EXPECT_EQ(headers({"HTTP/1.1 200 OK\r\n", "etag:W/\"abc\"\r\n", modified}).validator(),
              QByteArray("Tue, 01 Dec 2026 10:00:00 GMT"));
    EXPECT_EQ(headers({"HTTP/1.1 200 OK\r\n", "ETag: W/\"abc\"\r\n"}).validator(), QByteArray());
}

TEST(ResumeHeaders, ARedirectsHeadersDoNotCountForItsTarget)
{
    const auto followed = headers({"HTTP/1.1 302 Found\r\n", "ETag: \"redirect\"\r\n", "Content-Range: bytes 0-9/10\r\n",
                                   "\r\n", "HTTP/1.1 200 OK\r\n", "Content-Length: 10\r\n"});
    EXPECT_EQ(followed.validator(), QByteArray());
    EXPECT_FALSE(followed.contentRange().has_value());
}
} // namespace
