// SPDX-License-Identifier: MIT
#include "tools/fakehost/FileContent.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>
#include <httplib.h>

namespace {

constexpr int budgetMs = 10000;

QString hostProgram()
{
    return QString::fromUtf8(QUORVEL_FAKEHOST_EXE);
}

QString lineFrom(QProcess &process)
{
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(budgetMs))
            return {};
    }
    return QString::fromUtf8(process.readLine());
}

TEST(FakeHostExecutable, announcesItsPortLogsRequestsAndStopsOnTerminate)
{
    QProcess host;
    // Should the test die before it terminates the host, the host still ends by itself.
    host.start(hostProgram(), {QStringLiteral("--exit-after"), QStringLiteral("60")});
    ASSERT_TRUE(host.waitForStarted(budgetMs));
    const auto announced = QRegularExpression(QStringLiteral("^listening on http://127\\.0\\.0\\.1:(\\d+)\n$"))
                               .match(lineFrom(host));
    ASSERT_TRUE(announced.hasMatch());

    httplib::Client client("127.0.0.1", announced.captured(1).toInt());
    const auto page = client.Get("/file/x.bin?size=5");
    ASSERT_TRUE(page);
    EXPECT_EQ(lineFrom(host), QStringLiteral("GET /file/x.bin?size=5 200 %1\n").arg(page->body.size()));

    host.terminate();
    ASSERT_TRUE(host.waitForFinished(budgetMs));
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(host.exitCode(), 0);
}

TEST(FakeHostExecutable, exitAfterEndsItByItself)
{
    QProcess host;
    host.start(hostProgram(), {QStringLiteral("--exit-after"), QStringLiteral("1"), QStringLiteral("--port"),
                               QStringLiteral("0")});
    EXPECT_TRUE(lineFrom(host).startsWith(QStringLiteral("listening on http://127.0.0.1:")));
    ASSERT_TRUE(host.waitForFinished(budgetMs));
    EXPECT_EQ(host.exitCode(), 0);
}

TEST(FakeHostExecutable, printFileWritesTheGeneratedBytes)
{
    QProcess printer;
    printer.start(hostProgram(), {QStringLiteral("--print-file"), QStringLiteral("report%20v2.zip"),
                                  QStringLiteral("200000")});
    ASSERT_TRUE(printer.waitForFinished(budgetMs));
    EXPECT_EQ(printer.exitCode(), 0);
    const QByteArray printed = printer.readAllStandardOutput();
    EXPECT_TRUE(printed.toStdString() == FileContent("report%20v2.zip", 200000).bytes(0, 200000));
}

TEST(FakeHostExecutable, mistakesAreReportedWithoutServing)
{
    QProcess host;
    host.start(hostProgram(), {QStringLiteral("--print-file"), QStringLiteral("a.bin")});
    ASSERT_TRUE(host.waitForFinished(budgetMs));
    EXPECT_EQ(host.exitCode(), 2);
    EXPECT_TRUE(host.readAllStandardError().contains("--print-file needs a value"));
    EXPECT_TRUE(host.readAllStandardOutput().isEmpty());
}

} // namespace
