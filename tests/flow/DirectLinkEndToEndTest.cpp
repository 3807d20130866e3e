// SPDX-License-Identifier: MIT
// A queue mixing page links and direct links, worked end to end by the real page engine and
// transfers against the simulated host on loopback.
#include "flow/DownloadSession.h"
#include "platform/download/CurlUrlDownloadService.h"
#include "platform/net/CurlSession.h"
#include "platform/web/WebBrowser.h"
#include "tests/flow/RecordingView.h"
#include "tests/support/Budget.h"
#include "tests/support/FakePowerRequest.h"
#include "tests/support/FastClock.h"
#include "tests/support/HostFile.h"
#include "tools/fakehost/FakeHost.h"
#include "transfer/DownloadThread.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

TEST(DirectLinkEndToEnd, DirectLinksAreSavedByTheirAnswersNamesBesidePageLinksWhole)
{
    const QByteArray oldHome = qgetenv("HOME");
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    QTemporaryDir root;
    // Two levels down, so that a name that climbed out would land inside root, where it is seen.
    const QString folder = root.filePath(QStringLiteral("a/b"));
    ASSERT_TRUE(QDir().mkpath(folder));
    // Written by the server's threads one at a time, read once the host has stopped.
    std::vector<std::string> log;
    FakeHost host{HostDefaults{}, [&log](const std::string &line) { log.push_back(line); }};
    host.start(0);
    const auto at = [&host](const char *path) { return QString::fromStdString(host.url(path)); };
    {
        CurlSession curl;
        WebBrowser browser{curl};
        CurlUrlDownloadService downloads{curl};
        FakePowerRequest power;
        FastClock clock{60.0};
        RecordingView view;
        view.folder = folder;
        // Retries for two minutes of the fast clock, a few seconds of the test's.
        DownloadSession session{{browser, downloads, power, clock, &view, folder, 1s, std::chrono::minutes(2)}};
        session.queue().appendAll({
            at("/file/page.bin?size=300000&countdown=1"),
            at("/direct/cn.bin?size=200000&filename*=%E4%B8%AD%E6%96%87%E6%8A%A5%E5%91%8A.bin&filename=cn.bin"),
            at("/direct/plain%20name.bin?size=150000"),
            at("/direct/up.bin?size=1000&filename=..%2F..%2Fx.bin"),
            at("/direct/lie.bin?size=50000&type=text%2Fhtml"),
            at("/direct/flaky.bin?size=40000000&fail=reset"),
        });
        session.queue().showHead();
        session.StartDownload1Click();
        EXPECT_TRUE(runWithinBudget([&] { return session.queue().count() == 0 && session.isAtRest(); }, 60s));
        EXPECT_TRUE(view.errors.isEmpty()) << view.errors.join(u'\n').toStdString();
        ASSERT_EQ(session.history().count(), 6);
        // Sizes to the byte, not the KiB the progress counts in (300000 is not a whole KiB).
        const QList<qint64> sizes{300000, 200000, 150000, 1000, 50000, 40000000};
        for (int i = 0; i < session.history().count(); ++i) {
            const DownloadEntry &record = session.history().at(i);
            EXPECT_EQ(record.state, DownloadEntry::State::Done) << record.url.toStdString();
            EXPECT_EQ(record.sizeBytes, sizes.value(i)) << record.url.toStdString();
            EXPECT_EQ(record.receivedBytes, sizes.value(i)) << record.url.toStdString();
        }
    }
    DownloadThread::waitForWorkers(5s);
    host.stop();
    // The cut transfer was continued where it broke off, not fetched again. The file is larger
    // than loopback's socket buffers, so that the engine's first look cannot take the cut.
    EXPECT_NE(std::find_if(log.begin(), log.end(),
                           [](const std::string &line) {
                               return line.rfind("GET /direct/flaky.bin", 0) == 0
                                   && line.find(" 206 20000000") != std::string::npos;
                           }),
              log.end());
    expectHostFile(folder, QStringLiteral("page.bin"), 300000);
    expectHostFile(folder, QStringLiteral("中文报告.bin"), 200000, "cn.bin");
    expectHostFile(folder, QStringLiteral("plain name.bin"), 150000, "plain%20name.bin");
    expectHostFile(folder, QStringLiteral("x.bin"), 1000, "up.bin");
    expectHostFile(folder, QStringLiteral("lie.bin"), 50000);
    expectHostFile(folder, QStringLiteral("flaky.bin"), 40000000);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 6);
    EXPECT_EQ(QDir(root.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
    qputenv("HOME", oldHome);
}

} // namespace
