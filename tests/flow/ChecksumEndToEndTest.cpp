// SPDX-License-Identifier: MIT
// Entries that name their file's digest, fetched by the real transfers from the simulated host.
#include "flow/DownloadSession.h"
#include "platform/download/CurlUrlDownloadService.h"
#include "platform/net/CurlSession.h"
#include "platform/web/WebBrowser.h"
#include "queue/EntryListText.h"
#include "tests/flow/RecordingView.h"
#include "tests/support/Budget.h"
#include "tests/support/FakePowerRequest.h"
#include "tests/support/FastClock.h"
#include "tests/support/HostFile.h"
#include "tools/fakehost/FakeHost.h"
#include "transfer/DownloadThread.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

QString sha256Of(const std::string &name, std::uint64_t size)
{
    const auto bytes = QByteArray::fromStdString(FileContent(name, size).bytes(0, size));
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toUpper());
}

TEST(ChecksumEndToEnd, ARightDigestArrivesAWrongOneFailsAndIsFetchedAgainWhole)
{
    QTemporaryDir folder;
    std::vector<std::string> log;
    FakeHost host{HostDefaults{}, [&log](const std::string &line) { log.push_back(line); }};
    host.start(0);
    const auto at = [&host](const char *path) { return QString::fromStdString(host.url(path)); };
    const QString wrong = QStringLiteral("sha-256=") + QString(64, u'0');
    // The cut one is continued from its kept part, whose bytes must count in its digest.
    const QString list = at("/direct/good.bin?size=300000") + QStringLiteral("\n  checksum=sha-256=")
        + sha256Of("good.bin", 300000) + u'\n' + at("/direct/cut.bin?size=40000000&fail=reset")
        + QStringLiteral("\n  checksum=sha-256=") + sha256Of("cut.bin", 40000000) + u'\n'
        + at("/direct/bad.bin?size=200000") + QStringLiteral("\n  checksum=") + wrong + u'\n';
    const EntryListText::Reading reading = EntryListText::read(list, true);
    ASSERT_EQ(reading.skippedLines, 0);
    {
        CurlSession curl;
        WebBrowser browser{curl};
        CurlUrlDownloadService downloads{curl};
        FakePowerRequest power;
        FastClock clock{60.0};
        RecordingView view;
        view.folder = folder.path();
        DownloadSession session{{browser, downloads, power, clock, &view, folder.path(), 1s, std::chrono::minutes(2)}};
        session.queue().appendEntries(reading.entries);
        session.queue().showHead();
        session.StartDownload1Click();
        EXPECT_TRUE(runWithinBudget([&] { return session.queue().count() <= 1 && session.isAtRest(); }, 90s));
        const struct
        {
            const char *name;
            DownloadEntry::State state;
        } rows[] = {{"good.bin", DownloadEntry::State::Done},
                    {"cut.bin", DownloadEntry::State::Done},
                    {"bad.bin", DownloadEntry::State::Failed}};
        for (const auto &row : rows) {
            const QString name = QString::fromLatin1(row.name);
            bool seen = false;
            for (int i = 0; i < session.history().count(); ++i) {
                const DownloadEntry &entry = session.history().at(i);
                if (!entry.url.contains(name))
                    continue;
                seen = true;
                EXPECT_EQ(entry.state, row.state) << row.name;
                if (row.state == DownloadEntry::State::Failed) {
                    ASSERT_TRUE(entry.lastFailure) << row.name;
                    EXPECT_TRUE(entry.lastFailure->reason.startsWith(QStringLiteral("校验失败"))) << row.name;
                }
            }
            EXPECT_TRUE(seen) << row.name;
        }
    }
    DownloadThread::waitForWorkers(5s);
    host.stop();
    expectHostFile(folder.path(), QStringLiteral("good.bin"), 300000);
    expectHostFile(folder.path(), QStringLiteral("cut.bin"), 40000000);
    // Nothing under the wrong file's name, and no part of it left behind.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("cut.bin"), QStringLiteral("good.bin")}));
    // Every try of the wrong file fetched it whole from its first byte, never a range of it.
    int badTries = 0;
    for (const std::string &line : log) {
        if (line.rfind("GET /direct/bad.bin", 0) != 0)
            continue;
        // The page engine's first look at the link reads a little of it and goes; only the
        // transfers read it whole.
        EXPECT_EQ(line.find(" 206 "), std::string::npos) << line;
        badTries += line.find(" 200 200000") != std::string::npos ? 1 : 0;
    }
    EXPECT_GE(badTries, 2);
}

} // namespace
