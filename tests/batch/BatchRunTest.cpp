// SPDX-License-Identifier: MIT
#include "batch/BatchProgram.h"
#include "flow/PageFlow.h"
#include "power/NoSleepInhibitor.h"
#include "tests/support/Budget.h"
#include "tests/support/FakePowerRequest.h"
#include "tests/support/FastClock.h"
#include "tests/support/HostFile.h"
#include "tests/support/HttpProxy.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/Socks5Proxy.h"
#include "tools/fakehost/FakeHost.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QTimer>

#include <memory>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

using namespace std::chrono_literals;

/** The batch front end in-process against the fake host, with waits sped up sixty times. */
class BatchRunTest : public ::testing::Test
{
protected:
    void SetUp() override { m_host.start(0); }

    QString pageUrl(const std::string &nameAndQuery) const
    {
        return QString::fromStdString(m_host.url("/file/" + nameAndQuery));
    }

    /**
     * Runs the queue to its end; answers the exit status, or -1 when the run did not end in time.
     * Retries are cut to a few minutes of the fast clock, seconds of the test's.
     */
    int run(const QStringList &urls, bool shutdown = false, std::chrono::seconds retryFor = 3min,
            const QString &onDownloadComplete = QString())
    {
        BatchOptions options;
        options.onDownloadComplete = onDownloadComplete;
        for (const QString &url : urls) {
            DownloadEntry entry;
            entry.url = url;
            options.entries.append(entry);
        }
        options.folder = m_folder.path();
        options.shutdown = shutdown;
        options.retryFor = retryFor;
        options.proxy = m_proxy;
        BatchProgram program(options, m_power, m_sleep, {m_out, m_err, false}, {&m_clock, 1ms});
        int exitCode = -1;
        QObject::connect(&program, &BatchProgram::finished, &program, [&](int code) { exitCode = code; });
        program.start();
        runWithinBudget([&] { return exitCode != -1; }, m_runBudget);
        return exitCode;
    }

    void expectFile(const QString &name, std::uint64_t size, const std::string &urlName = {})
    {
        expectHostFile(m_folder.path(), name, size, urlName);
    }

    /** The host goes away now and comes back on the same port after realDelay. */
    void hostAwayFor(std::chrono::milliseconds realDelay)
    {
        const int port = m_host.port();
        m_host.stop();
        QTimer::singleShot(realDelay, [this, port] {
            m_hostBack = std::make_unique<FakeHost>(HostDefaults{}, [](const std::string &) {});
            m_hostBack->start(port);
        });
    }

    /** Arms the check that power-off is asked for only once every file in names has arrived. */
    void expectPowerOffOnlyAfter(const QStringList &names)
    {
        m_power.onRequest = [this, names] {
            for (const QString &name : names)
                EXPECT_TRUE(filesLeft().contains(name)) << "power-off before " << name.toStdString();
        };
    }

    QString output() const { return m_outText; }
    QString errors() const { return m_errText; }
    QString folder() const { return m_folder.path(); }
    QStringList filesLeft() const { return QDir(m_folder.path()).entryList(QDir::Files); }

    FakePowerRequest m_power;
    NoSleepInhibitor m_sleep;
    /** How long run() waits for the run to end before it calls the run hung. */
    std::chrono::seconds m_runBudget = 60s;
    /** What --all-proxy would give the run. */
    ProxySetting m_proxy;

private:
    FakeHost m_host{HostDefaults{}, [](const std::string &) {}};
    std::unique_ptr<FakeHost> m_hostBack;
    QTemporaryDir m_folder;
    FastClock m_clock{60.0};
    QString m_outText;
    QString m_errText;
    QTextStream m_out{&m_outText};
    QTextStream m_err{&m_errText};
};

TEST_F(BatchRunTest, AQueueOfGoodFilesEndsWithZero)
{
    EXPECT_EQ(run({pageUrl("one.bin?size=70000&countdown=1"), pageUrl("two%20words.bin?size=1500000&nolength=1&countdown=0")}),
              0);
    expectFile(QStringLiteral("one.bin"), 70000);
    expectFile(QStringLiteral("two words.bin"), 1500000, "two%20words.bin");
    EXPECT_TRUE(output().contains(QStringLiteral("完成 2 个文件, 丢弃 0, 失败 0, 共 1570000 字节")));
    EXPECT_TRUE(output().contains(QStringLiteral("没有更多下载网址")));
    EXPECT_TRUE(m_power.calls.isEmpty());
}

TEST_F(BatchRunTest, AMissingFileAndAWaitPageEndWithOneAndTheOthersWhole)
{
    EXPECT_EQ(run({pageUrl("gone.zip?missing=1"), pageUrl("later.bin?size=4096&wait=3&countdown=1"),
                   pageUrl("busy.bin?size=100&about=1&countdown=0")}),
              1);
    expectFile(QStringLiteral("later.bin"), 4096);
    expectFile(QStringLiteral("busy.bin"), 100);
    EXPECT_TRUE(output().contains(QStringLiteral("你应等待")));
    EXPECT_TRUE(output().contains(QStringLiteral("完成 2 个文件, 丢弃 1, 失败 0")));
}

TEST_F(BatchRunTest, AFailingFileIsCountedAndLeavesNoFile)
{
    EXPECT_EQ(run({pageUrl("cut.bin?size=2000000&fail=reset-always&countdown=0"), pageUrl("ok.bin?size=10&countdown=0")}),
              1);
    expectFile(QStringLiteral("ok.bin"), 10);
    EXPECT_EQ(filesLeft(), QStringList{QStringLiteral("ok.bin")});
    EXPECT_TRUE(output().contains(QStringLiteral("下载失败")));
    EXPECT_TRUE(output().contains(QStringLiteral("失败 1")));
}

TEST_F(BatchRunTest, ShutdownCountsDownThenMakesTheForcedRequest)
{
    EXPECT_EQ(run({pageUrl("last.bin?size=10&countdown=0")}, true), 0);
    EXPECT_EQ(m_power.calls, QStringList{QStringLiteral("powerOff(true)")});
    EXPECT_TRUE(output().contains(QStringLiteral("秒后关机")));
}

TEST_F(BatchRunTest, AHostAwayDuringAPageWalkComesBackAndEveryFileArrives)
{
    const QStringList urls{pageUrl("one.bin?size=70000&countdown=1"), pageUrl("two.bin?size=5000&countdown=0")};
    expectPowerOffOnlyAfter({QStringLiteral("one.bin"), QStringLiteral("two.bin")});
    // Away for about two minutes of the run's clock: refused at first, then back on its port.
    hostAwayFor(2s);
    EXPECT_EQ(run(urls, true, 60min), 0);
    expectFile(QStringLiteral("one.bin"), 70000);
    expectFile(QStringLiteral("two.bin"), 5000);
    EXPECT_TRUE(output().contains(QStringLiteral("第 1 次重试 (连接被拒绝), 30 秒后")));
    EXPECT_EQ(m_power.calls, QStringList{QStringLiteral("powerOff(true)")});
}

TEST_F(BatchRunTest, ABusyServerIsAskedAgainUntilItLetsTheWalkOn)
{
    // A front that answers 503 with Retry-After twice, then sends the browser on to the host.
    LoopbackServer front;
    std::atomic<int> asked = 0;
    const std::string page = pageUrl("busy.bin?size=3000&countdown=0").toStdString();
    front.server().Get("/busy", [&](const httplib::Request &, httplib::Response &response) {
        if (++asked <= 2) {
            response.status = 503;
            response.set_header("Retry-After", "60");
            response.set_content("<h1>Service Unavailable</h1>", "text/html");
            return;
        }
        response.set_redirect(page);
    });
    front.start();
    EXPECT_EQ(run({QString::fromStdString(front.url("/busy"))}, false, 60min), 0);
    EXPECT_EQ(asked, 3);
    expectFile(QStringLiteral("busy.bin"), 3000);
    // Retry-After beats the first 30-second step.
    EXPECT_TRUE(output().contains(QStringLiteral("第 1 次重试 (HTTP 503), 60 秒后")));
    EXPECT_TRUE(output().contains(QStringLiteral("重试 2 次")));
}

TEST_F(BatchRunTest, ATransferCutHalfwayIsWalkedAgainAndArrivesWhole)
{
    expectPowerOffOnlyAfter({QStringLiteral("cut.bin")});
    EXPECT_EQ(run({pageUrl("cut.bin?size=3000000&fail=reset&countdown=0")}, true, 60min), 0);
    expectFile(QStringLiteral("cut.bin"), 3000000);
    EXPECT_TRUE(output().contains(QStringLiteral("第 1 次重试"))) << output().toStdString();
    EXPECT_TRUE(output().contains(QStringLiteral("重试 1 次")));
    EXPECT_EQ(m_power.calls, QStringList{QStringLiteral("powerOff(true)")});
}

TEST_F(BatchRunTest, AFileCutAtFortyPercentIsResumedOnTheNextWalk)
{
    // A host of one page whose file carries a validator and honours a Range; the first answer is
    // cut at 40 %.
    const std::string content = [] {
        std::string bytes(1'000'000, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 131 + i / 977) & 0xff);
        return bytes;
    }();
    std::atomic<int> fileRequests = 0;
    std::atomic<int> rangeRequests = 0;
    LoopbackServer host;
    host.server().Get("/page", [&](const httplib::Request &, httplib::Response &response) {
        response.set_content("<body><p>Ready</p><script>var c=0;</script><form name=\"dlf\" action=\"" + host.url("/f/resumed.bin")
                                 + "\" method=\"post\"></form>",
                             "text/html");
    });
    host.server().Get("/f/resumed.bin", [&](const httplib::Request &request, httplib::Response &response) {
        response.set_header("ETag", "\"v1\"");
        if (fileRequests++ > 0) {
            // The server library answers the Range itself: 206 with the Content-Range asked for.
            rangeRequests += request.has_header("Range") ? 1 : 0;
            response.set_content(content, "application/octet-stream");
            return;
        }
        response.set_content_provider(content.size(), "application/octet-stream",
                                      [&content](std::size_t offset, std::size_t, httplib::DataSink &sink) {
                                          const std::size_t cut = content.size() * 4 / 10;
                                          if (offset >= cut)
                                              return false; // the connection drops
                                          sink.write(content.data() + offset, std::min<std::size_t>(cut - offset, 65536));
                                          return true;
                                      });
    });
    host.start();
    EXPECT_EQ(run({QString::fromStdString(host.url("/page"))}, false, 60min), 0) << output().toStdString();
    QFile file(QDir(folder()).filePath(QStringLiteral("resumed.bin")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll() == QByteArray::fromStdString(content));
    EXPECT_EQ(rangeRequests, 1);
    EXPECT_EQ(fileRequests, 2);
    const QRegularExpressionMatch resumed = QRegularExpression(QStringLiteral("续传 (\\d+) 字节")).match(output());
    ASSERT_TRUE(resumed.hasMatch());
    EXPECT_GT(resumed.captured(1).toLongLong(), 0);
    EXPECT_LE(resumed.captured(1).toLongLong(), 400'000);
}

TEST_F(BatchRunTest, WithoutRetriesAFailedPageSaysWhyAndTheRunGoesOn)
{
    LoopbackServer gone;
    gone.start();
    const QString refused = QString::fromStdString(gone.url("/file/x.bin"));
    gone.stop();
    EXPECT_EQ(run({refused, pageUrl("ok.bin?size=10&countdown=0")}, false, 0s), 1);
    expectFile(QStringLiteral("ok.bin"), 10);
    EXPECT_TRUE(output().contains(QStringLiteral("下载失败: ") + refused + QStringLiteral(" (连接被拒绝)")));
    EXPECT_TRUE(output().contains(QStringLiteral("失败 1")));
    EXPECT_TRUE(output().contains(QStringLiteral("失败原因")));
    EXPECT_FALSE(output().contains(QStringLiteral("重试 (")));
}

TEST_F(BatchRunTest, AFailingUrlListedTwiceFailsTwiceAndTheGoodOneAfterItArrives)
{
    LoopbackServer gone;
    gone.start();
    const QString refused = QString::fromStdString(gone.url("/file/x.bin"));
    gone.stop();
    EXPECT_EQ(run({refused, refused, pageUrl("ok.bin?size=10&countdown=0")}, false, 0s), 1);
    expectFile(QStringLiteral("ok.bin"), 10);
    EXPECT_TRUE(output().contains(QStringLiteral("失败 2,")));
    EXPECT_TRUE(output().contains(QStringLiteral("队列停下, 还剩 2 个网址")));
}

TEST_F(BatchRunTest, APageNobodyRecognisesIsTriedThreeTimesMoreThenFailsWithItsReason)
{
    LoopbackServer maintenance;
    std::atomic<int> asked = 0;
    maintenance.server().Get("/file/m.bin", [&](const httplib::Request &, httplib::Response &response) {
        ++asked;
        response.set_content("<p>Down for maintenance</p>", "text/html");
    });
    maintenance.start();
    const QString unknown = QString::fromStdString(maintenance.url("/file/m.bin"));
    EXPECT_EQ(run({unknown, pageUrl("ok.bin?size=10&countdown=0")}, false, 60min), 1);
    EXPECT_EQ(asked, 4);
    expectFile(QStringLiteral("ok.bin"), 10);
    EXPECT_TRUE(output().contains(QStringLiteral("下载失败: ") + unknown + QStringLiteral(" (页面无法识别)")));
    EXPECT_TRUE(output().contains(QStringLiteral("重试 3 次")));
}

// The run ends when the session says it rests, not when a poll happens to find it quiet: a poll
// could land between a page's load and its reading, or between a "Free user" press and the
// navigation it begins, and end a healthy run.
TEST_F(BatchRunTest, ThousandsOfMissingFilesInARowAreAllDropped)
{
    QStringList urls;
    for (int i = 0; i < 3000; ++i)
        urls << pageUrl("gone" + std::to_string(i) + ".zip?missing=1");
    // Under the sanitizers on a busy machine, three thousand page walks take most of a minute.
    m_runBudget = 240s;
    EXPECT_EQ(run(urls), 1);
    EXPECT_FALSE(output().contains(QStringLiteral("队列停下"))) << output().right(400).toStdString();
    EXPECT_TRUE(output().contains(QStringLiteral("丢弃 3000,")));
}

TEST_F(BatchRunTest, AFreeUserFormThatPostsToItselfKeepsTheRunGoing)
{
    // The form posts back to its own page almost as often as one walk may press "Free user"; then
    // the page sends the visitor on to a real download page, whose own button takes the last press.
    const std::string next = pageUrl("after.bin?size=100&countdown=0").toStdString();
    std::atomic<int> visits{0};
    LoopbackServer server;
    const auto page = [&](const httplib::Request &, httplib::Response &response) {
        if (++visits >= PageFlow::maxFreeUserPresses - 1) {
            response.set_redirect(next);
            return;
        }
        response.set_content(R"(<form action="/page" method="post"><input type="submit" value="Free user"></form>)",
                             "text/html");
    };
    server.server().Get("/page", page);
    server.server().Post("/page", page);
    server.start();
    EXPECT_EQ(run({QString::fromStdString(server.url("/page"))}), 0) << output().toStdString();
    expectFile(QStringLiteral("after.bin"), 100);
}

TEST_F(BatchRunTest, APasswordAndADirectionOverrideNeverReachTheTerminal)
{
    LoopbackServer gone;
    gone.start();
    const QString refused = QString::fromStdString(gone.url("/file/x.bin"))
                                .replace(QStringLiteral("://"), QStringLiteral("://user:secret@"));
    gone.stop();
    // "invoice", U+202E (right-to-left override), "fdp.exe": a terminal shows "invoiceexe.pdf".
    EXPECT_EQ(run({refused, pageUrl("invoice%E2%80%AEfdp.exe?size=10&countdown=0")}, false, 0s), 1);
    expectFile(QStringLiteral("invoice_fdp.exe"), 10, "invoice%E2%80%AEfdp.exe");
    const QString masked = QString(refused).replace(QStringLiteral("user:secret@"), QStringLiteral("user:***@"));
    EXPECT_TRUE(output().contains(QStringLiteral("下载失败: ") + masked + QStringLiteral(" (连接被拒绝)")))
        << output().toStdString();
    EXPECT_TRUE(output().contains(QStringLiteral("停在已失败的网址: ") + masked));
    EXPECT_FALSE(output().contains(QStringLiteral("secret")));
    EXPECT_FALSE(output().contains(QChar(0x202E)));
}

TEST_F(BatchRunTest, EntriesOfOneNameAndAFileThatHadItAllKeepTheirBytes)
{
    {
        QFile earlier(QDir(folder()).filePath(QStringLiteral("data.bin")));
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("a file from before the run");
    }
    EXPECT_EQ(run({pageUrl("data.bin?size=1000000&countdown=0"), pageUrl("data.bin?size=700000&countdown=0")}), 0);
    QFile earlier(QDir(folder()).filePath(QStringLiteral("data.bin")));
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("a file from before the run"));
    expectFile(QStringLiteral("data (1).bin"), 1000000, "data.bin");
    expectFile(QStringLiteral("data (2).bin"), 700000, "data.bin");
    EXPECT_TRUE(output().contains(QStringLiteral("完成 2 个文件, 丢弃 0, 失败 0, 共 1700000 字节")))
        << output().toStdString();
    EXPECT_TRUE(output().contains(QStringLiteral("data (2).bin")));
}

TEST_F(BatchRunTest, TheRunWaitsForTheLastFilesCommandAndPrintsHowItEnded)
{
    QTemporaryDir commands;
    QFile script(commands.filePath(QStringLiteral("done.sh")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nsleep 0.5\necho \"got $3\"\nexit 2\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // A command that fails leaves the file done and the exit status 0.
    EXPECT_EQ(run({pageUrl("one.bin?size=7000&countdown=0")}, false, 3min, script.fileName()), 0);
    EXPECT_TRUE(output().contains(QRegularExpression(QStringLiteral("\\): 退出码 2\ngot /\\S+/one\\.bin\n"))))
        << output().toStdString();
    EXPECT_LT(output().indexOf(QStringLiteral("退出码 2")), output().indexOf(QStringLiteral("完成 1 个文件")));
}

TEST_F(BatchRunTest, PagesAndFilesGoThroughEitherProxyWhosePasswordIsNeverPrinted)
{
    const std::string password = "pr0xy-s3cret";
    for (const bool socks : {false, true}) {
        std::unique_ptr<LoopbackProxy> proxy;
        if (socks)
            proxy = std::make_unique<Socks5Proxy>("quorvel", password);
        else
            proxy = std::make_unique<HttpProxy>("quorvel", password);
        QString why;
        const QString url = QStringLiteral("%1://quorvel:%2@127.0.0.1:%3")
                                .arg(socks ? QStringLiteral("socks5h") : QStringLiteral("http"),
                                     QString::fromStdString(password))
                                .arg(proxy->port());
        m_proxy = *ProxySetting::fromUrl(url, why);
        const QString name = socks ? QStringLiteral("socks.bin") : QStringLiteral("http.bin");
        EXPECT_EQ(run({pageUrl(name.toStdString() + "?size=70000&countdown=0")}), 0) << errors().toStdString();
        expectFile(name, 70000);
        // The page, its "Free user" and the file: SOCKS sees connections, HTTP requests.
        EXPECT_GE(proxy->targets().size(), 2u) << socks;
        for (const std::string &offered : proxy->credentials())
            EXPECT_EQ(offered, "quorvel:" + password);
        EXPECT_TRUE(output().contains(QStringLiteral("代理 ")));
        EXPECT_FALSE((output() + errors()).contains(QString::fromStdString(password)));
    }
}
