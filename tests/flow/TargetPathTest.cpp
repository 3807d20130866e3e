// SPDX-License-Identifier: MIT
#include "flow/TargetPath.h"
#include "tests/automation/QStringPrinter.h"

#include <gtest/gtest.h>

struct NameCase
{
    const char *url;
    const char *name;
};

class FileNameFromUrl : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(FileNameFromUrl, IsTheDecodedLastSegmentThatCannotLeaveTheFolder)
{
    EXPECT_EQ(fileNameFromUrl(QString::fromUtf8(GetParam().url)), QString::fromUtf8(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(
    Urls, FileNameFromUrl,
    ::testing::Values(NameCase{"http://srv1/f/42/report.zip", "report.zip"},
                      NameCase{"http://srv/f/report%20v2.zip?key=1#top", "report v2.zip"},
                      NameCase{"http://srv/f/a.zip#frag/x", "a.zip"},
                      NameCase{"http://srv/f/%E6%96%87%E4%BB%B6.rar", "文件.rar"},
                      NameCase{"http://srv/f/..%2F..%2Fetc%2Fpasswd", ".._.._etc_passwd"},
                      NameCase{"http://srv/f/%2e%2e", "download"},
                      NameCase{"http://srv/f/.", "download"},
                      NameCase{"http://srv/f/", "download"},
                      NameCase{"", "download"},
                      NameCase{"http://srv/f/a%00b%0Ac", "a_b_c"},
                      NameCase{"http://srv/f/back\\slash", "back\\slash"}));

TEST(TargetPath, JoinsWithOneSeparatorAndNeverFallsBackToTheRoot)
{
    const QString fallback = QStringLiteral("/home/u/Quorvel/Downloads");
    EXPECT_EQ(targetPath(QStringLiteral("/data"), QStringLiteral("a.zip"), fallback), QStringLiteral("/data/a.zip"));
    EXPECT_EQ(targetPath(QStringLiteral("/data//"), QStringLiteral("a.zip"), fallback), QStringLiteral("/data/a.zip"));
    EXPECT_EQ(targetPath(QString(), QStringLiteral("a.zip"), fallback), fallback + QStringLiteral("/a.zip"));
    EXPECT_EQ(targetPath(QStringLiteral("/"), QStringLiteral("a.zip"), fallback), QStringLiteral("/a.zip"));
}
