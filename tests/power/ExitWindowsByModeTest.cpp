// SPDX-License-Identifier: MIT
#include "tests/support/FakePowerRequest.h"
#include "power/ExitWindowsByMode.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct ModeRow
{
    const char *mode;
    bool force;
    const char *expected; // empty: nothing requested
};

// Names a failing row by its mode and force rather than by its bytes.
void PrintTo(const ModeRow &row, std::ostream *out)
{
    *out << '"' << row.mode << (row.force ? "\" forced" : "\" not forced");
}

class ExitWindowsByModeTest : public ::testing::TestWithParam<ModeRow>
{
};

TEST_P(ExitWindowsByModeTest, MakesTheRequestOfItsMode)
{
    const ModeRow row = GetParam();
    FakePowerRequest request;
    ExitWindowsByMode(request, QString::fromUtf8(row.mode), row.force);
    const QString expected = QString::fromUtf8(row.expected);
    EXPECT_EQ(request.calls, expected.isEmpty() ? QStringList() : QStringList{expected});
}

TEST_P(ExitWindowsByModeTest, RequestsNothingWhenTheSystemCannotBeReached)
{
    const ModeRow row = GetParam();
    FakePowerRequest request;
    request.available = false;
    ExitWindowsByMode(request, QString::fromUtf8(row.mode), row.force);
    EXPECT_TRUE(request.calls.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Modes, ExitWindowsByModeTest, ::testing::Values(
    ModeRow{"1", true, "powerOff(true)"}, ModeRow{"1", false, "powerOff(false)"},
    ModeRow{"2", true, "reboot(true)"}, ModeRow{"2", false, "reboot(false)"},
    ModeRow{"3", true, "logOff(true)"}, ModeRow{"3", false, "logOff(false)"},
    ModeRow{"0", true, ""}, ModeRow{"4", false, ""}, ModeRow{"", true, ""},
    ModeRow{"01", true, ""}, ModeRow{" 1", true, ""}, ModeRow{"1 ", false, ""}));

} // namespace
