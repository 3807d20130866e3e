// SPDX-License-Identifier: MIT
#include "common/FailureCause.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

namespace {
using Kind = FailureCause::Kind;

struct StatusRow
{
    int status;
    Kind asPage;
    Kind asFile;
};

void PrintTo(const StatusRow &row, std::ostream *out)
{
    *out << "HTTP " << row.status;
}

class FailureCauseStatusTest : public ::testing::TestWithParam<StatusRow>
{
};

TEST_P(FailureCauseStatusTest, ClassifiesPageAndFileStatuses)
{
    const StatusRow row = GetParam();
    const FailureCause page = FailureCause::fromPageStatus(row.status);
    const FailureCause file = FailureCause::fromFileStatus(row.status);
    EXPECT_EQ(page.kind, row.asPage);
    EXPECT_EQ(file.kind, row.asFile);
    EXPECT_EQ(page.reason, QStringLiteral("HTTP %1").arg(row.status));
    EXPECT_EQ(file.httpStatus, row.status);
    EXPECT_EQ(file.mayPass(), row.asFile != Kind::Permanent);
}

INSTANTIATE_TEST_SUITE_P(Rows, FailureCauseStatusTest,
                         ::testing::Values(StatusRow{408, Kind::Transient, Kind::Transient},
                                           StatusRow{429, Kind::Transient, Kind::Transient},
                                           StatusRow{500, Kind::Transient, Kind::Transient},
                                           StatusRow{502, Kind::Transient, Kind::Transient},
                                           StatusRow{503, Kind::Transient, Kind::Transient},
                                           StatusRow{504, Kind::Transient, Kind::Transient},
                                           // A direct link expires: a fresh walk may get a good one.
                                           StatusRow{403, Kind::Permanent, Kind::ExpiredLink},
                                           StatusRow{404, Kind::Permanent, Kind::ExpiredLink},
                                           StatusRow{400, Kind::Permanent, Kind::Permanent},
                                           StatusRow{401, Kind::Permanent, Kind::Permanent},
                                           StatusRow{410, Kind::Permanent, Kind::Permanent},
                                           StatusRow{416, Kind::Permanent, Kind::Permanent},
                                           StatusRow{501, Kind::Permanent, Kind::Permanent},
                                           StatusRow{505, Kind::Permanent, Kind::Permanent}));

TEST(FailureCause, RetryAfterGoesWithTheStatus)
{
    EXPECT_EQ(FailureCause::fromFileStatus(503, 120).retryAfterSeconds, std::optional<int>(120));
    EXPECT_EQ(FailureCause::fromPageStatus(429).retryAfterSeconds, std::nullopt);
}
} // namespace
