// SPDX-License-Identifier: MIT
#include "batch/BatchProgram.h"
#include "tests/support/FastClock.h"
#include "tests/support/FakePowerRequest.h"
#include "tests/support/Budget.h"
#include "tests/support/HostFile.h"
#include "tests/support/LoopbackServer.h"
#include "tools/fakehost/FakeHost.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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

    /** Runs the queue to its end; answers the exit status, or -1 when the run did not end in time. */
    int run(const QStringList &urls, bool shutdown = false)
    {
        BatchOptions options;
        options.urls = urls;
        options.folder = m_folder.path();
        options.shutdown = shutdown;
        BatchProgram program(options, m_power, {m_out, m_err, false}, {&m_clock, 1ms});
        int exitCode = -1;
        QObject::connect(&program, &BatchProgram::finished, &program, [&](int code) { exitCode = code; });
        program.start();
        runWithinBudget([&] { return exitCode != -1; }, 60s);
        return exitCode;
    }

    void expectFile(const QString &name, std::uint64_t size, const std::string &urlName = {})
    {
        expectHostFile(m_folder.path(), name, size, urlName);
    }

    QString output() const { return m_outText; }
    QStringList filesLeft() const { return QDir(m_folder.path()).entryList(QDir::Files); }

    FakePowerRequest m_power;

private:
    FakeHost m_host{HostDefaults{}, [](const std::string &) {}};
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

// The run ends when the session says it rests, not when a poll happens to find it quiet: a poll
// could land between a page's load and its reading, or between a "Free user" press and the
// navigation it begins, and end a healthy run.
TEST_F(BatchRunTest, ThousandsOfMissingFilesInARowAreAllDropped)
{
    QStringList urls;
    for (int i = 0; i < 3000; ++i)
        urls << pageUrl("gone" + std::to_string(i) + ".zip?missing=1");
    EXPECT_EQ(run(urls), 1);
    EXPECT_FALSE(output().contains(QStringLiteral("队列停下"))) << output().right(400).toStdString();
    EXPECT_TRUE(output().contains(QStringLiteral("丢弃 3000,")));
}

TEST_F(BatchRunTest, AFreeUserFormThatPostsToItselfKeepsTheRunGoing)
{
    // For a second and a half the form posts back to its own page; then the page sends the
    // visitor on to a real download page.
    const std::string next = pageUrl("after.bin?size=100&countdown=0").toStdString();
    using Clock = std::chrono::steady_clock;
    std::atomic<Clock::rep> firstVisit{0};
    LoopbackServer server;
    const auto page = [&](const httplib::Request &, httplib::Response &response) {
        Clock::rep expected = 0;
        firstVisit.compare_exchange_strong(expected, Clock::now().time_since_epoch().count());
        if (Clock::now() - Clock::time_point(Clock::duration(firstVisit.load())) > std::chrono::milliseconds(1500)) {
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
