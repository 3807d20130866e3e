// SPDX-License-Identifier: MIT
#include "platform/download/CurlUrlDownloadService.h"
#include "platform/net/CurlSession.h"
#include "tests/platform/download/FileServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {
struct Recorder final : UrlDownloadCallback
{
    int starts = 0;
    int stops = 0;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> progress;
    TransferOutcome outcome;
    std::function<bool(std::uint64_t received)> abortWhen = [](std::uint64_t) { return false; };

    void onStartBinding() override { ++starts; }
    bool onProgress(std::uint64_t received, std::uint64_t total) override
    {
        EXPECT_EQ(starts, 1) << "progress before the start";
        EXPECT_EQ(stops, 0) << "progress after the stop";
        progress.emplace_back(received, total);
        return abortWhen(received);
    }
    void onStopBinding(const TransferOutcome &ended) override
    {
        ++stops;
        outcome = ended;
    }
};

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class CurlUrlDownloadServiceTest : public ::testing::Test
{
protected:
    TransferOutcome fetch(const std::string &path, Recorder &recorder)
    {
        const auto outcome = service.downloadToFile(QString::fromStdString(server.url(path)), target(), recorder);
        EXPECT_EQ(recorder.starts, 1);
        EXPECT_EQ(recorder.stops, 1);
        EXPECT_EQ(recorder.outcome.kind, outcome.kind);
        return outcome;
    }

    QString target() const { return dir.filePath(QStringLiteral("file.bin")); }
    QStringList filesLeft() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    CurlSession session;
    FileServer server;
    QTemporaryDir dir;
    CurlUrlDownloadService service{session};
};

TEST_F(CurlUrlDownloadServiceTest, FileWithLengthArrivesWholeWithThrottledProgress)
{
    constexpr std::uint64_t size = 3 * 1024 * 1024 + 123;
    Recorder recorder;
    ASSERT_EQ(fetch("/file/" + std::to_string(size), recorder).kind, TransferOutcome::Kind::Done);

    EXPECT_EQ(readAll(target()), FileServer::pattern(size));
    EXPECT_EQ(filesLeft(), QStringList{QStringLiteral("file.bin")});
    ASSERT_FALSE(recorder.progress.empty());
    EXPECT_EQ(recorder.progress.back(), std::make_pair(size, size));
    for (std::size_t i = 1; i < recorder.progress.size(); ++i)
        EXPECT_LE(recorder.progress[i - 1].first, recorder.progress[i].first);
    // Throttled: far fewer reports than the 16 KiB pieces libcurl hands over.
    EXPECT_LE(recorder.progress.size(), size / (64 * 1024));
}

TEST_F(CurlUrlDownloadServiceTest, FileWithoutLengthReportsTotalZeroThroughout)
{
    constexpr std::uint64_t size = 300 * 1024 + 5;
    Recorder recorder;
    ASSERT_EQ(fetch("/chunked/" + std::to_string(size), recorder).kind, TransferOutcome::Kind::Done);

    EXPECT_EQ(readAll(target()), FileServer::pattern(size));
    EXPECT_EQ(recorder.progress.back().first, size);
    for (const auto &[received, total] : recorder.progress)
        EXPECT_EQ(total, 0u);
}

TEST_F(CurlUrlDownloadServiceTest, SuccessReplacesAnExistingFile)
{
    writeFile(target(), "an older file of that name");
    Recorder recorder;
    ASSERT_EQ(fetch("/file/5000", recorder).kind, TransferOutcome::Kind::Done);
    EXPECT_EQ(readAll(target()), FileServer::pattern(5000));
    EXPECT_EQ(filesLeft().size(), 1);
}

TEST_F(CurlUrlDownloadServiceTest, FailuresLeaveAnExistingFileAndNoPartFile)
{
    const std::vector<std::pair<std::string, QString>> failures = {
        {"/status/404", QStringLiteral("HTTP 404")},
        {"/status/500", QStringLiteral("HTTP 500")},
        {"/reset/1048576", QString()},
        {"/redirect-ftp", QString()},
    };
    for (const auto &[path, reason] : failures) {
        SCOPED_TRACE(path);
        writeFile(target(), "keep me");
        Recorder recorder;
        const auto outcome = fetch(path, recorder);
        EXPECT_EQ(outcome.kind, TransferOutcome::Kind::Failed);
        EXPECT_FALSE(outcome.reason.isEmpty());
        if (!reason.isEmpty()) {
            EXPECT_EQ(outcome.reason, reason);
        }
        EXPECT_EQ(readAll(target()), QByteArray("keep me"));
        EXPECT_EQ(filesLeft(), QStringList{QStringLiteral("file.bin")});
    }
}

TEST_F(CurlUrlDownloadServiceTest, ARenameThatFailsFailsTheTransferAndLeavesNoPartFile)
{
    // A non-empty folder under the target name: the finished part file cannot take its place.
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("file.bin/inside")));
    Recorder recorder;
    const auto outcome = fetch("/file/5000", recorder);
    EXPECT_EQ(outcome.kind, TransferOutcome::Kind::Failed);
    EXPECT_TRUE(outcome.reason.contains(QStringLiteral("cannot rename"))) << outcome.reason.toStdString();
    EXPECT_TRUE(filesLeft().isEmpty()) << filesLeft().join(u' ').toStdString();
    EXPECT_TRUE(QFileInfo(target()).isDir());
}

TEST_F(CurlUrlDownloadServiceTest, TrueFromProgressCancelsAtOnce)
{
    Recorder recorder;
    recorder.abortWhen = [](std::uint64_t received) { return received >= 64 * 1024; };
    EXPECT_EQ(fetch("/slow/4194304", recorder).kind, TransferOutcome::Kind::Cancelled);

    EXPECT_TRUE(filesLeft().isEmpty());
    EXPECT_GE(recorder.progress.back().first, 64u * 1024);
    EXPECT_EQ(std::count_if(recorder.progress.begin(), recorder.progress.end(),
                            [](const auto &counts) { return counts.first >= 64 * 1024; }),
              1)
        << "the service went on reporting after the abort answer";
}

TEST_F(CurlUrlDownloadServiceTest, ThrowingProgressFailsTheTransferWithoutCrossingLibcurl)
{
    writeFile(target(), "keep me");
    Recorder recorder;
    recorder.abortWhen = [](std::uint64_t received) -> bool {
        if (received >= 64 * 1024)
            throw std::runtime_error("handler failed");
        return false;
    };
    const auto outcome = fetch("/slow/4194304", recorder);

    EXPECT_EQ(outcome.kind, TransferOutcome::Kind::Failed);
    EXPECT_EQ(outcome.reason, QStringLiteral("handler failed"));
    EXPECT_EQ(readAll(target()), QByteArray("keep me"));
    EXPECT_EQ(filesLeft(), QStringList{QStringLiteral("file.bin")});
}

TEST_F(CurlUrlDownloadServiceTest, StalledServerFailsAndIdleTimeStillReportsProgress)
{
    session.setStallTimeout(std::chrono::seconds(2));
    Recorder recorder;
    EXPECT_EQ(fetch("/stall", recorder).kind, TransferOutcome::Kind::Failed);

    EXPECT_TRUE(filesLeft().isEmpty());
    // The first report comes while connecting; later ones while the server is silent.
    EXPECT_GE(recorder.progress.size(), 2u) << "no report while the server was silent";
}

TEST_F(CurlUrlDownloadServiceTest, UnwritableFolderFailsCleanly)
{
    writeFile(dir.filePath(QStringLiteral("plain")), "a file, not a folder");
    Recorder recorder;
    const auto outcome = service.downloadToFile(QString::fromStdString(server.url("/file/100")),
                                                dir.filePath(QStringLiteral("plain/file.bin")), recorder);
    EXPECT_EQ(outcome.kind, TransferOutcome::Kind::Failed);
    EXPECT_TRUE(outcome.reason.contains(QStringLiteral("cannot create")));
    EXPECT_EQ(recorder.starts, 1);
    EXPECT_EQ(recorder.stops, 1);
}

TEST_F(CurlUrlDownloadServiceTest, NamesAtTheFileSystemLimitStillArrive)
{
    // 255 bytes each: one ASCII name, and 85 Chinese characters of three bytes.
    const QStringList names{QString(251, u'n') + QStringLiteral(".zip"), QString(85, QChar(0x4E2D))};
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        Recorder recorder;
        const QString fileName = dir.filePath(name);
        const auto outcome = service.downloadToFile(QString::fromStdString(server.url("/file/3000")), fileName, recorder);
        EXPECT_EQ(outcome.kind, TransferOutcome::Kind::Done) << outcome.reason.toStdString();
        EXPECT_EQ(readAll(fileName), FileServer::pattern(3000));
    }
    EXPECT_EQ(filesLeft().size(), names.size());
}

TEST_F(CurlUrlDownloadServiceTest, RedirectIsFollowed)
{
    Recorder recorder;
    ASSERT_EQ(fetch("/redirect/777", recorder).kind, TransferOutcome::Kind::Done);
    EXPECT_EQ(readAll(target()), FileServer::pattern(777));
}

TEST_F(CurlUrlDownloadServiceTest, CookieOfTheSharedSessionGoesWithTheFileRequest)
{
    Recorder login;
    ASSERT_EQ(fetch("/set-cookie", login).kind, TransferOutcome::Kind::Done);
    Recorder file;
    ASSERT_EQ(fetch("/needs-cookie", file).kind, TransferOutcome::Kind::Done);
    EXPECT_EQ(readAll(target()), FileServer::pattern(64));
}
}
