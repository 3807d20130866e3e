// SPDX-License-Identifier: MIT
#include "tests/flow/FlowFixture.h"
#include "tests/support/Budget.h"

#include "flow/StatusTexts.h"
#include "flow/TargetPath.h"

using namespace std::chrono_literals;

namespace {

const QString freeUserPage = QStringLiteral("<form action=\"/go\" method=\"post\">x</form>");
const QString missingPage =
    QStringLiteral("<p>The file could not be found. Please check the download link.</p>");
QString countdownPage(int seconds, const QString &fileUrl)
{
    return QStringLiteral("<script>var c=%1;</script><form name=\"dlf\" action=\"%2\" method=\"post\">")
        .arg(seconds)
        .arg(fileUrl);
}

} // namespace

using PageFlowTest = FlowFixture;

TEST_F(PageFlowTest, StartOpensTheCurrentUrlAndAnEmptyOneOnlyChecksPowerOff)
{
    queue.appendAll({QStringLiteral("http://host/a"), QStringLiteral("http://host/b")});
    queue.showHead();
    flow.StartDownload1Click();
    EXPECT_EQ(browser.navigated, QStringList{QStringLiteral("http://host/a")});
    EXPECT_EQ(state.PageUrl, QStringLiteral("http://host/a"));

    // Not while the page still loads: its file may yet come.
    queue.clear();
    armPowerOff();
    flow.StartDownload1Click();
    EXPECT_FALSE(shutdown.countdown().isRunning());
    emit browser.downloadComplete();
    flow.StartDownload1Click();
    EXPECT_EQ(browser.navigated.size(), 1);
    EXPECT_TRUE(shutdown.countdown().isRunning());
}

TEST_F(PageFlowTest, AStartWhileATransferRunsOpensNothingAndNeverPowersOff)
{
    armPowerOff();
    flow.DownloadFile1Start(); // the component says its transfer is under way
    flow.StartDownload1Click();
    queue.setCurrentUrl(QStringLiteral("http://host/a"));
    flow.StartDownload1Click();
    EXPECT_TRUE(browser.navigated.isEmpty());
    EXPECT_FALSE(shutdown.countdown().isRunning());
}

TEST_F(PageFlowTest, AMissingFileIsDroppedAndTheNextOpened)
{
    queue.appendAll({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    queue.showHead();
    flow.StartDownload1Click();
    loadPage(missingPage);
    EXPECT_EQ(queue.entries(), (QStringList{QStringLiteral("B"), QStringLiteral("C")}));
    EXPECT_EQ(queue.currentUrl(), QStringLiteral("B"));
    EXPECT_EQ(browser.navigated.last(), QStringLiteral("B"));
}

TEST_F(PageFlowTest, AMissingFileTakesItsOwnEntryNotTheHead)
{
    QStringList dropped;
    QObject::connect(&flow, &PageFlow::urlDropped, &flow, [&](const QString &url) { dropped << url; });
    // Typed by hand: no entry of the queue is its own.
    queue.appendAll({QStringLiteral("A"), QStringLiteral("B")});
    queue.setCurrentUrl(QStringLiteral("typed"));
    flow.StartDownload1Click();
    loadPage(missingPage);
    EXPECT_EQ(queue.entries(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(dropped, QStringList{QStringLiteral("typed")});
    EXPECT_EQ(browser.navigated.last(), QStringLiteral("A"));

    // A's page is loading while the user moves B to the top.
    queue.setSelected(1);
    queue.moveFirst();
    loadPage(missingPage);
    EXPECT_EQ(queue.entries(), QStringList{QStringLiteral("B")});
    EXPECT_EQ(dropped.last(), QStringLiteral("A"));
    EXPECT_EQ(browser.navigated.last(), QStringLiteral("B"));
}

TEST_F(PageFlowTest, TheLastMissingFileEmptiesTheQueueWithoutPowerOff)
{
    armPowerOff();
    queue.append(QStringLiteral("A"));
    queue.showHead();
    flow.StartDownload1Click();
    loadPage(missingPage);
    EXPECT_EQ(queue.count(), 0);
    EXPECT_TRUE(queue.currentUrl().isEmpty());
    EXPECT_EQ(view.status[0], StatusTexts::checkDownloadLink.text);
    EXPECT_EQ(view.widths[0], 200);
    EXPECT_FALSE(shutdown.countdown().isRunning());
    // The empty queue has no head to read: reading one would fail inside the page read, which
    // swallows the error into the page text.
    EXPECT_FALSE(buffer.text().endsWith(QStringLiteral("No Web Document Body HTML")));
    EXPECT_TRUE(view.errors.isEmpty());
}

TEST_F(PageFlowTest, ANewStartWithdrawsThePowerOffOfTheEmptyQueue)
{
    armPowerOff();
    flow.StartDownload1Click();
    ASSERT_TRUE(shutdown.countdown().isRunning());
    EXPECT_EQ(shutdown.countdown().reason(), ShutdownSwitch::reasonText(ShutdownSwitch::RunEnd::NothingQueued));

    queue.append(QStringLiteral("http://host/page"));
    queue.showHead();
    flow.StartDownload1Click();
    EXPECT_FALSE(shutdown.countdown().isRunning());
    loadPage(countdownPage(30, QStringLiteral("http://files/a.bin")));
    ASSERT_TRUE(flow.Timer1().isActive());
    // Runs the event loop far longer than the shortened 60-second count.
    EXPECT_FALSE(runWithinBudget([&] { return !power.calls.isEmpty(); }, 150ms));
    EXPECT_TRUE(power.calls.isEmpty());
    EXPECT_EQ(shutdown.state(), ShutdownSwitch::State::Armed);
}

TEST_F(PageFlowTest, EveryPageTimerWithdrawsARunningPowerOffCount)
{
    armPowerOff();
    flow.StartDownload1Click();
    ASSERT_TRUE(shutdown.countdown().isRunning());
    // A frame's late document: its wait page starts Timer2 with no start before it.
    loadPage(QStringLiteral("Or try again in about 2 minutes."));
    EXPECT_FALSE(shutdown.countdown().isRunning());

    flow.StopDownExecute();
    flow.StartDownload1Click();
    ASSERT_TRUE(shutdown.countdown().isRunning());
    loadPage(countdownPage(30, QStringLiteral("http://files/a.bin")));
    EXPECT_FALSE(shutdown.countdown().isRunning());
}

TEST_F(PageFlowTest, AnExpiringCountNeverPowersOffWhileTheRunHasWork)
{
    armPowerOff();
    const auto expireNow = [&] {
        shutdown.countdown().withdraw();
        shutdown.countdown().start(1, QString());
        return runWithinBudget([&] { return !shutdown.countdown().isRunning(); }, 5s);
    };
    queue.append(QStringLiteral("http://host/page"));
    queue.showHead();
    flow.StartDownload1Click();
    ASSERT_TRUE(expireNow()); // the page loads
    loadPage(countdownPage(30, QStringLiteral("http://files/a.bin")));
    emit browser.downloadComplete();
    ASSERT_TRUE(expireNow()); // Timer1
    flow.StopDownExecute();
    queue.clear();
    loadPage(QStringLiteral("Unfortunately you will have to wait 1 minutes."));
    ASSERT_TRUE(expireNow()); // Timer2, with the queue empty
    flow.StopDownExecute();
    flow.DownloadFile1Start();
    ASSERT_TRUE(expireNow()); // a transfer
    flow.StopDownExecute();
    flow.DownloadFile1Finish();
    queue.append(QStringLiteral("http://host/page"));
    ASSERT_TRUE(expireNow()); // an entry left in the queue
    EXPECT_TRUE(power.calls.isEmpty());

    queue.clear();
    ASSERT_TRUE(expireNow());
    EXPECT_EQ(power.calls, QStringList{QStringLiteral("powerOff(true)")});
}

TEST_F(PageFlowTest, ThePageWithoutMarkersHasItsFreeUserButtonPressed)
{
    QStringList dropped;
    QObject::connect(&flow, &PageFlow::urlDropped, &flow, [&](const QString &url) { dropped << url; });
    QStringList clicks;
    auto document = std::make_shared<FakePageDocument>();
    document->body = freeUserPage;
    document->addForm({{QStringLiteral("premium"), QStringLiteral("Premium user")},
                       {QStringLiteral("free"), QStringLiteral("Free user")}},
                      clicks);
    browser.current = document;
    emit browser.documentComplete(document->url());
    EXPECT_EQ(clicks, QStringList{QStringLiteral("free")});
    // The scanners found nothing to act on: no countdown, no wait, nothing dropped.
    EXPECT_FALSE(flow.Timer1().isActive());
    EXPECT_FALSE(flow.Timer2().isActive());
    EXPECT_TRUE(dropped.isEmpty());
}

TEST_F(PageFlowTest, TheCountdownRunsOnItsOwnClockThenStartsTheTransfer)
{
    queue.append(QStringLiteral("http://host/page"));
    queue.showHead();
    flow.StartDownload1Click();
    loadPage(countdownPage(30, QStringLiteral("http://files/f/42/report%20v2.zip?t=1")));
    ASSERT_TRUE(flow.Timer1().isActive());

    tickCountdown(1);
    EXPECT_EQ(view.status[0], StatusTexts::nextDownloadStarts.text);
    EXPECT_EQ(view.widths[0], 145);
    EXPECT_EQ(view.status[1], QStringLiteral("00:00:29"));
    EXPECT_FALSE(flow.transferRunning());

    tickCountdown(29);
    EXPECT_FALSE(flow.Timer1().isActive());
    EXPECT_EQ(download.UrlToDownload(), QStringLiteral("http://files/f/42/report%20v2.zip?t=1"));
    EXPECT_EQ(download.FileName(), QStringLiteral("/downloads/report v2.zip"));
    EXPECT_EQ(view.status[0], QString());
    ASSERT_TRUE(runWithinBudget([&] { return !queue.count() && queue.currentUrl().isEmpty(); }, 5s));
    EXPECT_EQ(view.status[0], StatusTexts::noMoreUrls.text);
}

TEST_F(PageFlowTest, ALateTickStillEndsTheCountdown)
{
    view.folder.clear();
    loadPage(countdownPage(5, QStringLiteral("http://files/x/..")));
    tickCountdown(7);
    EXPECT_FALSE(flow.Timer1().isActive());
    // No save folder chosen: the default folder, never the file-system root.
    EXPECT_EQ(download.FileName(), QStringLiteral("/home/user/Quorvel/Downloads/download"));
}

TEST_F(PageFlowTest, ARetryWaitAcrossMidnightReopensTheSamePage)
{
    queue.append(QStringLiteral("http://host/page"));
    queue.showHead();
    flow.StartDownload1Click();
    clock.set(1.0 - 10 * second);
    loadPage(QStringLiteral("Unfortunately you will have to wait 1 minutes."));
    ASSERT_TRUE(flow.Timer2().isActive());

    clock.set(30 * second);
    flow.Timer2Timer();
    EXPECT_EQ(view.status[0], StatusTexts::youMustWait.text);
    EXPECT_EQ(view.status[1], QStringLiteral("00:00:20"));
    EXPECT_EQ(view.status[2], StatusTexts::nextDownload.text);
    EXPECT_EQ(view.widths[2], 110);
    EXPECT_EQ(browser.navigated.size(), 1);

    clock.set(50 * second);
    flow.Timer2Timer();
    EXPECT_FALSE(flow.Timer2().isActive());
    EXPECT_EQ(browser.navigated, (QStringList{QStringLiteral("http://host/page"), QStringLiteral("http://host/page")}));
}

TEST_F(PageFlowTest, AQueueClearedDuringARetryWaitEndsInThePowerOffCheck)
{
    armPowerOff();
    queue.append(QStringLiteral("http://host/page"));
    queue.showHead();
    flow.StartDownload1Click();
    loadPage(QStringLiteral("Or try again in about 2 minutes."));
    queue.clear();
    clock.set(clock.timeOfDay() + 120 * second);
    flow.Timer2Timer();
    EXPECT_EQ(browser.navigated.size(), 1);
    EXPECT_TRUE(shutdown.countdown().isRunning());
}

TEST_F(PageFlowTest, AStartDuringARetryWaitLetsTheNextPageEndTheWait)
{
    queue.append(QStringLiteral("http://host/page"));
    queue.showHead();
    flow.StartDownload1Click();
    loadPage(QStringLiteral("Or try again in about 1 minutes."));
    ASSERT_TRUE(flow.Timer2().isActive());

    flow.StartDownload1Click();
    loadPage(countdownPage(6, QStringLiteral("http://files/a.bin")));
    EXPECT_TRUE(flow.Timer1().isActive());
    EXPECT_FALSE(flow.Timer2().isActive());
    tickCountdown(3);
    EXPECT_EQ(view.status[0], StatusTexts::nextDownloadStarts.text);
    EXPECT_EQ(view.status[2], QString());

    // And the other way round: a wait page during a countdown ends the countdown.
    flow.StartDownload1Click();
    loadPage(QStringLiteral("Unfortunately you will have to wait 2 minutes."));
    EXPECT_FALSE(flow.Timer1().isActive());
    EXPECT_TRUE(flow.Timer2().isActive());
    EXPECT_EQ(browser.navigated.size(), 3);
    EXPECT_FALSE(flow.transferRunning());
}

TEST_F(PageFlowTest, AWaitPageWithACountdownOnItWaits)
{
    queue.append(QStringLiteral("http://host/page"));
    queue.showHead();
    flow.StartDownload1Click();
    loadPage(QStringLiteral("<p>Unfortunately you will have to wait 2 minutes.</p>")
             + countdownPage(5, QStringLiteral("http://files/a.bin")));
    EXPECT_TRUE(flow.Timer2().isActive());
    EXPECT_FALSE(flow.Timer1().isActive());
    tickCountdown(6);
    EXPECT_TRUE(download.UrlToDownload().isEmpty());
    EXPECT_FALSE(flow.transferRunning());
}

TEST_F(PageFlowTest, StopDuringARetryWaitNeverReopensThePage)
{
    queue.append(QStringLiteral("http://host/page"));
    queue.showHead();
    flow.StartDownload1Click();
    loadPage(QStringLiteral("Unfortunately you will have to wait 1 minutes."));
    emit browser.downloadComplete();
    ASSERT_TRUE(flow.Timer2().isActive());
    flow.Timer2().setInterval(1);

    flow.StopDownExecute();
    clock.set(clock.timeOfDay() + 90 * second);
    runWithinBudget([] { return false; }, 50ms);
    EXPECT_EQ(browser.navigated.size(), 1);
    EXPECT_TRUE(flow.isAtRest());
}

TEST_F(PageFlowTest, StopDuringACountdownLeavesTheQueueForTheNextStart)
{
    queue.append(QStringLiteral("http://host/page"));
    queue.showHead();
    flow.StartDownload1Click();
    loadPage(countdownPage(30, QStringLiteral("http://files/a.bin")));
    tickCountdown(1);
    flow.StopDownExecute();
    EXPECT_FALSE(flow.Timer1().isActive());
    EXPECT_EQ(view.status, (std::array<QString, 3>{}));
    EXPECT_EQ(queue.entries(), QStringList{QStringLiteral("http://host/page")});
    EXPECT_TRUE(flow.isAtRest());
}

TEST_F(PageFlowTest, ConversionErrorsEndInTheErrorLineNotInTheErrorBox)
{
    loadPage(QStringLiteral("var c=45 ;"));
    EXPECT_TRUE(buffer.text().endsWith(QStringLiteral("No Web Document Body HTML")));
    EXPECT_FALSE(flow.Timer1().isActive());
    EXPECT_TRUE(view.errors.isEmpty());
}

namespace {

struct SchemeRow
{
    const char *name;
    QString entry;
    /** Where the entry's page ended up, and the file link on it. */
    QString landedAt;
    QString fileUrl;
    bool insecure;
};

void PrintTo(const SchemeRow &row, std::ostream *out)
{
    *out << row.name;
}

class SchemeTest : public FlowFixture, public ::testing::WithParamInterface<SchemeRow>
{
};

} // namespace

// Hosts send visitors from https on to http: the walk follows, but says so once.
TEST_P(SchemeTest, AWalkLedFromHttpsToHttpSaysSoOnce)
{
    const SchemeRow &row = GetParam();
    QStringList notices;
    QObject::connect(&flow, &PageFlow::insecureConnection, &flow,
                     [&](const QString &pageUrl, const QString &url) { notices << pageUrl + QLatin1Char(' ') + url; });
    queue.append(row.entry);
    queue.showHead();
    flow.StartDownload1Click();
    loadPage(countdownPage(30, row.fileUrl), std::nullopt, row.landedAt);
    tickCountdown(1);
    const QString notice = QLatin1Char(' ') + PageFlow::insecureConnectionText();
    if (row.insecure) {
        ASSERT_EQ(notices.size(), 1);
        EXPECT_TRUE(notices.first().startsWith(row.entry + QStringLiteral(" http://")));
        EXPECT_EQ(view.status[2], notice);
    } else {
        EXPECT_TRUE(notices.isEmpty());
        EXPECT_EQ(view.status[2], QString());
    }

    // The same entry's next walk, after a wait page, does not say it again.
    loadPage(QStringLiteral("Or try again in about 0 minutes."), std::nullopt, row.landedAt);
    flow.Timer2Timer();
    loadPage(countdownPage(30, row.fileUrl), std::nullopt, row.landedAt);
    EXPECT_EQ(notices.size(), row.insecure ? 1 : 0);
    tickCountdown(1);
    EXPECT_EQ(view.status[2], row.insecure ? notice : QString());
}

// The file link itself may be on https and the server's redirects end on http: the transfer says
// where it ended, and that is told too.
TEST_F(FlowFixture, AFileLinkThatRedirectsFromHttpsToHttpSaysSo)
{
    for (const bool toHttp : {false, true}) {
        SCOPED_TRACE(toHttp);
        QStringList notices;
        const auto connection = QObject::connect(&flow, &PageFlow::insecureConnection, &flow,
                                                 [&](const QString &, const QString &url) { notices << url; });
        queue.append(QStringLiteral("https://host/page"));
        queue.showHead();
        flow.StartDownload1Click();
        loadPage(countdownPage(30, QStringLiteral("https://files/a.bin")), std::nullopt,
                 QStringLiteral("https://host/page"));
        TransferOutcome done = TransferOutcome::done();
        done.finalUrl = toHttp ? QStringLiteral("http://mirror/a.bin") : QStringLiteral("https://mirror/a.bin");
        runTransfer(done);
        EXPECT_EQ(notices, toHttp ? QStringList{QStringLiteral("http://mirror/a.bin")} : QStringList{});
        QObject::disconnect(connection);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Walks, SchemeTest,
    ::testing::Values(SchemeRow{"RedirectedToHttp", QStringLiteral("https://host/page"),
                                QStringLiteral("http://host/page"), QStringLiteral("http://files/a.bin"), true},
                      SchemeRow{"FileLinkOnHttp", QStringLiteral("https://host/page"),
                                QStringLiteral("https://host/page"), QStringLiteral("http://files/a.bin"), true},
                      SchemeRow{"HttpsThroughout", QStringLiteral("https://host/page"),
                                QStringLiteral("https://host/page"), QStringLiteral("https://files/a.bin"), false},
                      SchemeRow{"HttpFromTheStart", QStringLiteral("http://host/page"),
                                QStringLiteral("http://host/page"), QStringLiteral("http://files/a.bin"), false}),
    [](const ::testing::TestParamInfo<SchemeRow> &info) { return std::string(info.param.name); });

struct OfferRow
{
    const char *label;
    /** Where the walk was when its address turned out to be the file. */
    enum class At { Open, Countdown, FreeUserPress } at;
    QString suggested;
    QString fileUrl;
    QString target;
};

void PrintTo(const OfferRow &row, std::ostream *out)
{
    *out << row.label;
}

class FileOfferTest : public FlowFixture, public ::testing::WithParamInterface<OfferRow>
{
};

TEST_P(FileOfferTest, AnAddressThatIsTheFileIsFetchedAtOnceAndTheQueueGoesOn)
{
    const OfferRow &row = GetParam();
    queue.appendAll({QStringLiteral("http://host/direct"), QStringLiteral("http://host/next")});
    queue.showHead();
    flow.StartDownload1Click();
    if (row.at == OfferRow::At::Countdown) {
        loadPage(countdownPage(30, QStringLiteral("http://files/from-countdown.bin")));
        ASSERT_TRUE(flow.Timer1().isActive());
    } else if (row.at == OfferRow::At::FreeUserPress) {
        QStringList clicks;
        auto document = std::make_shared<FakePageDocument>();
        document->body = freeUserPage;
        document->addForm({{QStringLiteral("free"), QStringLiteral("Free user")}}, clicks);
        browser.current = document;
        emit browser.beforeNavigate(document->url());
        emit browser.downloadComplete();
        emit browser.documentComplete(document->url());
        ASSERT_EQ(clicks, QStringList{QStringLiteral("free")});
        // The press's navigation is the one that answers with the file.
        emit browser.beforeNavigate(QStringLiteral("http://host/go"));
    }
    emit browser.downloadComplete();
    emit browser.fileOffered(row.fileUrl, row.suggested, QStringLiteral("application/octet-stream"));
    EXPECT_TRUE(flow.transferRunning());
    EXPECT_FALSE(flow.Timer1().isActive());
    EXPECT_EQ(download.UrlToDownload(), row.fileUrl);
    EXPECT_EQ(download.FileName(), row.target);
    ASSERT_TRUE(runWithinBudget([&] { return browser.navigated.contains(QStringLiteral("http://host/next")); }, 5s));
    ASSERT_EQ(session.history().count(), 1);
    EXPECT_EQ(session.history().at(0).url, QStringLiteral("http://host/direct"));
    EXPECT_EQ(session.history().at(0).state, DownloadEntry::State::Done);
    EXPECT_EQ(queue.entries(), QStringList{QStringLiteral("http://host/next")});
}

INSTANTIATE_TEST_SUITE_P(
    Offers, FileOfferTest,
    ::testing::Values(OfferRow{"suggested name", OfferRow::At::Open, QStringLiteral("中文.bin"),
                               QStringLiteral("http://files/get?id=7"), QStringLiteral("/downloads/中文.bin")},
                      OfferRow{"no suggested name", OfferRow::At::Open, QString(),
                               QStringLiteral("http://files/a%20b.iso?t=1"), QStringLiteral("/downloads/a b.iso")},
                      OfferRow{"a path for a name", OfferRow::At::Open, QStringLiteral("../../x.bin"),
                               QStringLiteral("http://files/y"), QStringLiteral("/downloads/x.bin")},
                      OfferRow{"a name past the limit", OfferRow::At::Open,
                               QString(300, QLatin1Char('n')) + QStringLiteral(".bin"),
                               QStringLiteral("http://files/y"),
                               QStringLiteral("/downloads/")
                                   + fitFileName(QString(300, QLatin1Char('n')) + QStringLiteral(".bin"), 255)},
                      OfferRow{"during a countdown", OfferRow::At::Countdown, QStringLiteral("late.bin"),
                               QStringLiteral("http://files/late"), QStringLiteral("/downloads/late.bin")},
                      OfferRow{"after a press", OfferRow::At::FreeUserPress, QString(),
                               QStringLiteral("http://files/pressed.zip"), QStringLiteral("/downloads/pressed.zip")}));
