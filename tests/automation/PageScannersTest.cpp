// SPDX-License-Identifier: MIT
#include "automation/MainUnitState.h"
#include "automation/PageScanners.h"
#include "automation/PageTextBuffer.h"

#include "tests/support/ManualClock.h"
#include "QStringPrinter.h"
#include "QuorvelErrorOf.h"

#include <gtest/gtest.h>

#include <string>

using namespace Qt::StringLiterals;

namespace {

enum class Scanner { Error, Wait, Still, About };

const QString oldUrl = u"http://old/prev.bin"_s;
const QString oldName = u"prev.bin"_s;
constexpr double untouchedDuration = 0.75;
constexpr double untouchedStart = 0.25;
constexpr double now = 0.5;

// One page text through one scanner, from a state whose FinalUrl, FinalFileName, WaitDuration and
// StartTime show whether the scanner touched them. waitSeconds < 0: the wait was left as it was.
struct ScanRow
{
    std::string name;
    const char *page;
    Scanner scanner;
    PageAction action = PageAction::None;
    const char *error = nullptr;
    const char *waitText = "";
    const char *waitNumber = "";
    const char *countdownText = "";
    QString finalUrl = oldUrl;
    QString finalFileName = oldName;
    int markerFound = 0;
    int waitSeconds = -1;
    const char *initialWaitNumber = "";
};

PageAction run(PageScanners &scanners, Scanner scanner)
{
    switch (scanner) {
    case Scanner::Error: return scanners.FindError();
    case Scanner::Wait: return scanners.FindWait();
    case Scanner::Still: return scanners.FindStill();
    case Scanner::About: return scanners.FindAbout();
    }
    return PageAction::None;
}

class ScanTable : public testing::TestWithParam<ScanRow>
{
};

TEST_P(ScanTable, leavesTheSharedStateAsThePageSays)
{
    const ScanRow &row = GetParam();
    PageTextBuffer buffer;
    buffer.replaceText(QString::fromUtf8(row.page));
    MainUnitState state;
    state.FinalUrl = oldUrl;
    state.FinalFileName = oldName;
    state.WaitDuration = untouchedDuration;
    state.StartTime = untouchedStart;
    state.WaitNumber = QString::fromUtf8(row.initialWaitNumber);
    ManualClock clock;
    clock.set(now);
    PageScanners scanners(buffer, state, clock);

    if (row.error)
        EXPECT_EQ(quorvelErrorOf([&] { run(scanners, row.scanner); }), QString::fromUtf8(row.error));
    else
        EXPECT_EQ(run(scanners, row.scanner), row.action);
    EXPECT_EQ(state.WaitText, QString::fromUtf8(row.waitText));
    EXPECT_EQ(state.WaitNumber, QString::fromUtf8(row.waitNumber));
    EXPECT_EQ(state.CountdownText, QString::fromUtf8(row.countdownText));
    EXPECT_EQ(state.FinalUrl, row.finalUrl);
    EXPECT_EQ(state.FinalFileName, row.finalFileName);
    EXPECT_EQ(state.MarkerFound, row.markerFound);
    if (row.waitSeconds < 0) {
        EXPECT_EQ(state.WaitDuration, untouchedDuration);
        EXPECT_EQ(state.StartTime, untouchedStart);
    } else {
        EXPECT_DOUBLE_EQ(state.WaitDuration * 86400.0, row.waitSeconds);
        EXPECT_EQ(state.StartTime, now);
    }
}

std::string rowName(const testing::TestParamInfo<ScanRow> &info)
{
    return info.param.name;
}

const QString longUrl = u"http://srv2/files/"_s + QString(300, u'a') + u"/big.zip"_s;
const std::string longForm = "var c=9;<form action=\"" + longUrl.toStdString() + "\" method=\"post\">";

INSTANTIATE_TEST_SUITE_P(FindStill, ScanTable, testing::Values(
    ScanRow{.name = "countdownAndForm",
            .page = "<script>var c=45;</script><form action=\"http://srv1/f/42/report.zip\" method=\"post\">",
            .scanner = Scanner::Still, .action = PageAction::StartCountdown, .waitText = "45;<",
            .waitNumber = "45", .countdownText = "0:0:45", .finalUrl = u"http://srv1/f/42/report.zip"_s,
            .finalFileName = u"report.zip"_s, .markerFound = 1, .waitSeconds = 45},
    ScanRow{.name = "noFormKeepsThePreviousUrl", .page = "var c=120;", .scanner = Scanner::Still,
            .action = PageAction::StartCountdown, .waitText = "120;", .waitNumber = "120",
            .countdownText = "0:2:0", .markerFound = 1, .waitSeconds = 120},
    ScanRow{.name = "lineBreakAfterTerminator", .page = "var c=5;\n", .scanner = Scanner::Still,
            .action = PageAction::StartCountdown, .waitText = "5;\r\n", .waitNumber = "5",
            .countdownText = "0:0:5", .markerFound = 1, .waitSeconds = 5},
    ScanRow{.name = "leadingBlankSkipped", .page = "var c= 45;", .scanner = Scanner::Still,
            .action = PageAction::StartCountdown, .waitText = " 45;", .waitNumber = " 45",
            .countdownText = "0:0:45", .markerFound = 1, .waitSeconds = 45},
    ScanRow{.name = "fourDigits", .page = "var c=1000;", .scanner = Scanner::Still,
            .action = PageAction::StartCountdown, .waitText = "1000;", .waitNumber = "1000",
            .countdownText = "0:16:40", .markerFound = 1, .waitSeconds = 1000},
    ScanRow{.name = "lastSecondOfADay", .page = "var c= 86399;x", .scanner = Scanner::Still,
            .action = PageAction::StartCountdown, .waitText = " 86399;", .waitNumber = " 86399",
            .countdownText = "23:59:59", .markerFound = 1, .waitSeconds = 86399},
    ScanRow{.name = "firstMarkerCounts", .page = "var c=7; var c=9;", .scanner = Scanner::Still,
            .action = PageAction::StartCountdown, .waitText = "7; v", .waitNumber = "7",
            .countdownText = "0:0:7", .markerFound = 1, .waitSeconds = 7},
    ScanRow{.name = "trailingBlankFails", .page = "var c=45 ;", .scanner = Scanner::Still,
            .error = "'45 ' 不是一个合法的整数值", .waitText = "45 ;", .waitNumber = "45 "},
    ScanRow{.name = "lastTerminatorCounts", .page = "var c=5;a;", .scanner = Scanner::Still,
            .error = "'5;a' 不是一个合法的整数值", .waitText = "5;a;", .waitNumber = "5;a"},
    ScanRow{.name = "atTheEndConvertsThePreviousNumber", .page = "x var c=", .scanner = Scanner::Still,
            .action = PageAction::StartCountdown, .waitNumber = "30", .countdownText = "0:0:30",
            .markerFound = 1, .waitSeconds = 30, .initialWaitNumber = "30"},
    ScanRow{.name = "atTheEndAtStartFails", .page = "var c=", .scanner = Scanner::Still,
            .error = "'' 不是一个合法的整数值"},
    ScanRow{.name = "noTerminatorConvertsThePreviousNumber", .page = "var c=12", .scanner = Scanner::Still,
            .action = PageAction::StartCountdown, .waitText = "12", .waitNumber = "8",
            .countdownText = "0:0:8", .markerFound = 1, .waitSeconds = 8, .initialWaitNumber = "8"},
    ScanRow{.name = "aDayFailsTheTime", .page = "var c=86400;", .scanner = Scanner::Still,
            .error = "‘24:0:0’不是一个有效时间", .waitText = "86400;", .waitNumber = "86400",
            .countdownText = "24:0:0"},
    ScanRow{.name = "negativeFailsTheTime", .page = "var c=-90;", .scanner = Scanner::Still,
            .error = "‘0:65535:-30’不是一个有效时间", .waitText = "-90;", .waitNumber = "-90",
            .countdownText = "0:65535:-30"},
    ScanRow{.name = "sixteenBitHoursDoNotWrapToZero", .page = "var c=235929600;", .scanner = Scanner::Still,
            .error = "‘6699:14:7’不是一个有效时间", .waitText = "235929600;", .waitNumber = "235929600",
            .countdownText = "6699:14:7"},
    ScanRow{.name = "negativeWholeHoursDoNotWrapToOneHour", .page = "var c=-235926000;", .scanner = Scanner::Still,
            .error = "‘58837:65522:-8’不是一个有效时间", .waitText = "-235926000;", .waitNumber = "-235926000",
            .countdownText = "58837:65522:-8"},
    ScanRow{.name = "overflowFails", .page = "var c=99999999999;", .scanner = Scanner::Still,
            .error = "'99999999999' 不是一个合法的整数值", .waitText = "99999999999;",
            .waitNumber = "99999999999"},
    ScanRow{.name = "failureAfterTheFormKeepsItsUrl",
            .page = "var c=x;<form action=\"http://h/d/a.rar\" method=\"post\">", .scanner = Scanner::Still,
            .error = "'x' 不是一个合法的整数值", .waitText = "x;<f", .waitNumber = "x",
            .finalUrl = u"http://h/d/a.rar"_s, .finalFileName = u"a.rar"_s, .markerFound = 1},
    ScanRow{.name = "methodBeforeAction",
            .page = "var c=5;<form method=\"post\" action=\"http://h/d/b.zip\">", .scanner = Scanner::Still,
            .action = PageAction::StartCountdown, .waitText = "5;<f", .waitNumber = "5",
            .countdownText = "0:0:5", .finalUrl = u"http://h/d/b.zip"_s, .finalFileName = u"b.zip"_s,
            .markerFound = 1, .waitSeconds = 5},
    ScanRow{.name = "longUrlWhole", .page = longForm.c_str(), .scanner = Scanner::Still,
            .action = PageAction::StartCountdown, .waitText = "9;<f", .waitNumber = "9",
            .countdownText = "0:0:9", .finalUrl = longUrl, .finalFileName = u"big.zip"_s,
            .markerFound = 1, .waitSeconds = 9},
    ScanRow{.name = "unclosedActionEmptiesTheUrl", .page = "var c=5;<form action=\"http://h/d/c.zip",
            .scanner = Scanner::Still, .action = PageAction::StartCountdown, .waitText = "5;<f",
            .waitNumber = "5", .countdownText = "0:0:5", .finalUrl = QString(), .markerFound = 1,
            .waitSeconds = 5},
    ScanRow{.name = "urlEndingInSlash", .page = "var c=5;<form action=\"http://h/d/\" method=\"post\">",
            .scanner = Scanner::Still, .action = PageAction::StartCountdown, .waitText = "5;<f",
            .waitNumber = "5", .countdownText = "0:0:5", .finalUrl = u"http://h/d/"_s,
            .finalFileName = QString(), .markerFound = 1, .waitSeconds = 5},
    ScanRow{.name = "queryAmpersandsAreTheUrls", .page = "var c=5;<form action=\"http://h/get?id=1&amp;k=2\" method=\"post\">",
            .scanner = Scanner::Still, .action = PageAction::StartCountdown, .waitText = "5;<f",
            .waitNumber = "5", .countdownText = "0:0:5", .finalUrl = u"http://h/get?id=1&k=2"_s,
            .finalFileName = u"get?id=1&k=2"_s, .markerFound = 1, .waitSeconds = 5},
    ScanRow{.name = "markerIsCaseSensitive", .page = "Var c=5;", .scanner = Scanner::Still}),
    rowName);

INSTANTIATE_TEST_SUITE_P(FindWait, ScanTable, testing::Values(
    ScanRow{.name = "oneDigit", .page = "<p>Unfortunately you will have to wait 7 minutes.</p>",
            .scanner = Scanner::Wait, .action = PageAction::StartRetryWait, .waitText = "0:7:0",
            .markerFound = 1, .waitSeconds = 420},
    ScanRow{.name = "twoDigits", .page = "Unfortunately you will have to wait 15 minutes.",
            .scanner = Scanner::Wait, .action = PageAction::StartRetryWait, .waitText = "0:15:0",
            .markerFound = 1, .waitSeconds = 900},
    ScanRow{.name = "lineBreakFails", .page = "Unfortunately you will have to wait\n5 minutes",
            .scanner = Scanner::Wait, .error = "'\n5' 不是一个合法的整数值", .waitText = "\n5"},
    ScanRow{.name = "wordFails", .page = "Unfortunately you will have to wait some minutes",
            .scanner = Scanner::Wait, .error = "'s' 不是一个合法的整数值", .waitText = "s"},
    ScanRow{.name = "atTheEndFails", .page = "Unfortunately you will have to wait",
            .scanner = Scanner::Wait, .error = "'' 不是一个合法的整数值"},
    ScanRow{.name = "aDayFailsTheTime", .page = "Unfortunately you will have to wait 1440 minutes",
            .scanner = Scanner::Wait, .error = "‘24:0:0’不是一个有效时间", .waitText = "24:0:0"},
    ScanRow{.name = "hugeSaturatesAndFails",
            .page = "Unfortunately you will have to wait 2147483647 minutes", .scanner = Scanner::Wait,
            .error = "‘6699:14:7’不是一个有效时间", .waitText = "6699:14:7"},
    ScanRow{.name = "sixteenBitHoursDoNotWrapToZero",
            .page = "Unfortunately you will have to wait 3932160 minutes", .scanner = Scanner::Wait,
            .error = "‘6699:14:7’不是一个有效时间", .waitText = "6699:14:7"},
    ScanRow{.name = "markerIsCaseSensitive", .page = "unfortunately you will have to wait 5 minutes",
            .scanner = Scanner::Wait}),
    rowName);

INSTANTIATE_TEST_SUITE_P(FindAbout, ScanTable, testing::Values(
    ScanRow{.name = "twoDigits", .page = "Or try again in about 12 minutes.</p>", .scanner = Scanner::About,
            .action = PageAction::StartRetryWait, .waitText = "0:12:0", .waitNumber = "12",
            .markerFound = 1, .waitSeconds = 720},
    ScanRow{.name = "abbreviatedUnit", .page = "again in about 3 min. more", .scanner = Scanner::About,
            .action = PageAction::StartRetryWait, .waitText = "0:3:0", .waitNumber = "3",
            .markerFound = 1, .waitSeconds = 180},
    ScanRow{.name = "wordFails", .page = "again in about an hour", .scanner = Scanner::About,
            .error = "'a' 不是一个合法的整数值", .waitText = "an hour", .waitNumber = "a",
            .initialWaitNumber = "4"},
    ScanRow{.name = "atTheEndConvertsThePreviousNumber", .page = "again in about", .scanner = Scanner::About,
            .action = PageAction::StartRetryWait, .waitText = "0:4:0", .waitNumber = "4",
            .markerFound = 1, .waitSeconds = 240, .initialWaitNumber = "4"},
    ScanRow{.name = "markerIsCaseSensitive", .page = "Again in about 5 minutes", .scanner = Scanner::About}),
    rowName);

INSTANTIATE_TEST_SUITE_P(FindError, ScanTable, testing::Values(
    ScanRow{.name = "missingFile",
            .page = "<h1>Error</h1>The file could not be found. Please check the download link.",
            .scanner = Scanner::Error, .action = PageAction::DeleteURLError},
    ScanRow{.name = "otherText", .page = "The file could not be found.", .scanner = Scanner::Error}),
    rowName);

class PageScannersTest : public testing::Test
{
protected:
    PageTextBuffer buffer;
    MainUnitState state;
    ManualClock clock;
    PageScanners scanners{buffer, state, clock};

    void expectNoScannerActs()
    {
        const MainUnitState before = state;
        EXPECT_EQ(scanners.FindError(), PageAction::None);
        EXPECT_EQ(scanners.FindWait(), PageAction::None);
        EXPECT_EQ(scanners.FindStill(), PageAction::None);
        EXPECT_EQ(scanners.FindAbout(), PageAction::None);
        EXPECT_EQ(state.MarkerFound, 0);
        EXPECT_EQ(state.WaitText, before.WaitText);
        EXPECT_EQ(state.WaitNumber, before.WaitNumber);
        EXPECT_EQ(state.FinalUrl, before.FinalUrl);
        EXPECT_EQ(state.WaitDuration, before.WaitDuration);
        EXPECT_EQ(state.StartTime, before.StartTime);
    }
};

TEST_F(PageScannersTest, aPageWithoutMarkersOnlyClearsMarkerFound)
{
    state.MarkerFound = 1;
    state.WaitText = u"kept"_s;
    buffer.replaceText(u"<form><input value=\"Free user\"></form>"_s);
    expectNoScannerActs();
}

TEST_F(PageScannersTest, afterAnAppendedLineNoScannerSeesItsMarker)
{
    buffer.replaceText(u"The file could not be found. Please check the download link. "
                       "Unfortunately you will have to wait 5 var c=5; again in about 3 min"_s);
    buffer.appendLine(u"No Web Document Body HTML"_s);
    state.MarkerFound = 1;
    expectNoScannerActs();
}

TEST_F(PageScannersTest, findErrorLeavesMarkerFoundToTheFlow)
{
    buffer.replaceText(u"The file could not be found. Please check the download link."_s);
    state.MarkerFound = 1;
    EXPECT_EQ(scanners.FindError(), PageAction::DeleteURLError);
    EXPECT_EQ(state.MarkerFound, 1);
}

TEST_F(PageScannersTest, theWaitStartsAtTheClocksTimeOfDay)
{
    clock.set(0.9999);
    buffer.replaceText(u"again in about 1 minute"_s);
    EXPECT_EQ(scanners.FindAbout(), PageAction::StartRetryWait);
    EXPECT_EQ(state.StartTime, 0.9999);
}

TEST_F(PageScannersTest, theSliceStaysVisibleAfterTheWaitTextIsReplaced)
{
    buffer.replaceText(u"Unfortunately you will have to wait 15 minutes. Or try again in about 12 minutes."_s);
    scanners.FindWait();
    EXPECT_EQ(scanners.lastSlice(), u"15");
    scanners.FindAbout();
    EXPECT_EQ(scanners.lastSlice(), u"12 minutes.");
    EXPECT_EQ(state.WaitText, u"0:12:0");
}

TEST(URLCopy, takesTheTextBetweenTheFirstStartTagAndTheEndTagAfterIt)
{
    EXPECT_EQ(PageScanners::URLCopy(u"x<a>in</a><a>2</a>"_s, u"<a>"_s, u"</a>"_s), u"in");
    EXPECT_EQ(PageScanners::URLCopy(u"</a>x<a>in</a>"_s, u"<a>"_s, u"</a>"_s), u"in");
    EXPECT_EQ(PageScanners::URLCopy(u"<a>in"_s, u"<a>"_s, u"</a>"_s), QString());
    EXPECT_EQ(PageScanners::URLCopy(u"in</a>"_s, u"<a>"_s, u"</a>"_s), QString());
    EXPECT_EQ(PageScanners::URLCopy(u"<a></a>"_s, u"<a>"_s, u"</a>"_s), QString());
}

TEST_F(PageScannersTest, getFileNameKeepsTheOldNameWithoutASeparator)
{
    state.FinalFileName = oldName;
    scanners.GetFileName(u"no-separator"_s, u'/');
    EXPECT_EQ(state.FinalFileName, oldName);
    scanners.GetFileName(QString(), u'/');
    EXPECT_EQ(state.FinalFileName, oldName);
    scanners.GetFileName(u"http://h/a/b.zip"_s, u'/');
    EXPECT_EQ(state.FinalFileName, u"b.zip");
}

} // namespace
