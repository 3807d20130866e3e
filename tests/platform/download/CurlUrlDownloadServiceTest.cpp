// SPDX-License-Identifier: MIT
#include "platform/download/CurlUrlDownloadService.h"
#include "platform/net/CurlSession.h"
#include "tests/platform/download/FileServer.h"
#include "tests/platform/download/TransferRecorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {
using namespace Qt::StringLiterals;
using Recorder = TransferRecorder;

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

TEST_F(CurlUrlDownloadServiceTest, ALimitedTransferArrivesWholeReportingWhileItWaits)
{
    service.setSpeedLimit(64 * 1024);
    constexpr std::uint64_t size = 96 * 1024;
    Recorder recorder;
    ASSERT_EQ(fetch("/file/" + std::to_string(size), recorder).kind, TransferOutcome::Kind::Done);

    EXPECT_EQ(readAll(target()), FileServer::pattern(size));
    // Over a second of waits, each tenth of one reported; at full speed it comes in two reports.
    EXPECT_GE(recorder.progress.size(), 8u);
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

TEST_F(CurlUrlDownloadServiceTest, ATakenNameKeepsWhatHasItAndTheFileTakesAFreeNameBesideIt)
{
    struct Row
    {
        const char *what;
        QString target;
        /** What has a name in the folder before the transfer begins, or at its first progress. */
        std::function<void(const QDir &)> before;
        std::function<void(const QDir &)> meanwhile;
        QString savedAs;
        /** The name the service says it saves to before the first progress. */
        QString savingAs;
    };
    const auto file = [](const QString &name) {
        return [name](const QDir &folder) { writeFile(folder.filePath(name), "keep me"); };
    };
    const QString longName = QString(251, u'n') + QStringLiteral(".zip");
    const std::vector<Row> rows = {
        {"a file of the name", u"file.bin"_s, file(u"file.bin"_s), {}, u"file (1).bin"_s, u"file (1).bin"_s},
        {"two of the names",
         u"file.bin"_s,
         [&](const QDir &folder) {
             file(u"file.bin"_s)(folder);
             file(u"file (1).bin"_s)(folder);
         },
         {},
         u"file (2).bin"_s,
         u"file (2).bin"_s},
        {"a folder of the name",
         u"file.bin"_s,
         [](const QDir &folder) { folder.mkpath(u"file.bin/inside"_s); },
         {},
         u"file (1).bin"_s,
         u"file (1).bin"_s},
        {"a dangling link of the name",
         u"file.bin"_s,
         [](const QDir &folder) { QFile::link(folder.filePath(u"nowhere"_s), folder.filePath(u"file.bin"_s)); },
         {},
         u"file (1).bin"_s,
         u"file (1).bin"_s},
        {"no extension", u"README"_s, file(u"README"_s), {}, u"README (1)"_s, u"README (1)"_s},
        {"a dot file", u".profile"_s, file(u".profile"_s), {}, u".profile (1)"_s, u".profile (1)"_s},
        {"a file that appears during the transfer",
         u"file.bin"_s,
         {},
         file(u"file.bin"_s),
         u"file (1).bin"_s,
         u"file.bin"_s},
        {"a name at the limit",
         longName,
         file(longName),
         {},
         QString(247, u'n') + u" (1).zip"_s,
         QString(247, u'n') + u" (1).zip"_s},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const QDir folder(dir.filePath(QString::fromUtf8(row.what)));
        ASSERT_TRUE(folder.mkpath(u"."_s));
        if (row.before)
            row.before(folder);
        const QStringList there = folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                   | QDir::NoDotAndDotDot);
        Recorder recorder;
        recorder.abortWhen = [&, made = false](std::uint64_t) mutable {
            if (row.meanwhile && !std::exchange(made, true))
                row.meanwhile(folder);
            return false;
        };
        const auto outcome = service.downloadToFile(QString::fromStdString(server.url("/file/5000")),
                                                    folder.filePath(row.target), recorder);
        ASSERT_EQ(outcome.kind, TransferOutcome::Kind::Done) << outcome.reason.toStdString();
        EXPECT_EQ(outcome.savedAs, folder.filePath(row.savedAs));
        EXPECT_EQ(recorder.savingAs, QStringList{folder.filePath(row.savingAs)});
        EXPECT_EQ(readAll(folder.filePath(row.savedAs)), FileServer::pattern(5000));
        for (const QString &name : there + (row.meanwhile ? QStringList{row.target} : QStringList{})) {
            const QFileInfo kept(folder.filePath(name));
            if (kept.isFile()) {
                EXPECT_EQ(readAll(kept.filePath()), QByteArray("keep me")) << name.toStdString();
            }
        }
        EXPECT_TRUE(QFileInfo(folder.filePath(row.target)).isSymLink()
                    || QFileInfo::exists(folder.filePath(row.target)));
        EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).size(),
                  there.size() + (row.meanwhile ? 2 : 1));
    }
}

TEST_F(CurlUrlDownloadServiceTest, FailuresSayWhyAndLeaveAnExistingFileAndNoPartFile)
{
    using Kind = FailureCause::Kind;
    struct Row
    {
        std::string path;
        QString reason;
        Kind kind;
        std::optional<int> retryAfter;
    };
    const std::vector<Row> failures = {
        {"/status/404", QStringLiteral("HTTP 404"), Kind::ExpiredLink, {}},
        {"/status/403", QStringLiteral("HTTP 403"), Kind::ExpiredLink, {}},
        {"/status/410", QStringLiteral("HTTP 410"), Kind::Permanent, {}},
        {"/status/500", QStringLiteral("HTTP 500"), Kind::Transient, {}},
        {"/status/503?retry=90", QStringLiteral("HTTP 503"), Kind::Transient, 90},
        {"/reset/1048576", QStringLiteral("连接被重置"), Kind::Transient, {}},
        {"/redirect-ftp", QStringLiteral("不支持的网址协议"), Kind::Permanent, {}},
    };
    for (const auto &row : failures) {
        SCOPED_TRACE(row.path);
        writeFile(target(), "keep me");
        Recorder recorder;
        const auto outcome = fetch(row.path, recorder);
        EXPECT_EQ(outcome.kind, TransferOutcome::Kind::Failed);
        EXPECT_EQ(outcome.reason, row.reason);
        EXPECT_EQ(outcome.cause.kind, row.kind);
        EXPECT_EQ(outcome.cause.retryAfterSeconds, row.retryAfter);
        EXPECT_EQ(readAll(target()), QByteArray("keep me"));
        EXPECT_EQ(filesLeft(), QStringList{QStringLiteral("file.bin")});
    }
}

TEST_F(CurlUrlDownloadServiceTest, ARenameThatFailsFailsTheTransferAndLeavesNoPartFile)
{
    // The name and each of the names beside it that the service would try are taken: the
    // finished part file has nowhere to go, and the names keep what they hold.
    writeFile(target(), "keep me");
    for (int number = 1; number < 1000; ++number)
        writeFile(dir.filePath(QStringLiteral("file (%1).bin").arg(number)), "keep me");
    const QStringList taken = filesLeft();
    Recorder recorder;
    const auto outcome = fetch("/file/5000", recorder);
    EXPECT_EQ(outcome.kind, TransferOutcome::Kind::Failed);
    EXPECT_TRUE(outcome.reason.contains(QStringLiteral("cannot rename"))) << outcome.reason.toStdString();
    EXPECT_EQ(filesLeft(), taken);
    EXPECT_EQ(readAll(dir.filePath(u"file (999).bin"_s)), QByteArray("keep me"));
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
    const auto outcome = fetch("/stall", recorder);
    EXPECT_EQ(outcome.kind, TransferOutcome::Kind::Failed);
    EXPECT_EQ(outcome.reason, QStringLiteral("传输停滞"));
    EXPECT_EQ(outcome.cause.kind, FailureCause::Kind::Transient);

    EXPECT_TRUE(filesLeft().isEmpty());
    // The first report comes while connecting; later ones while the server is silent.
    EXPECT_GE(recorder.progress.size(), 2u) << "no report while the server was silent";
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

TEST_F(CurlUrlDownloadServiceTest, FileErrorsCarryTheSystemsReason)
{
    writeFile(dir.filePath(QStringLiteral("plain")), "a file, not a folder");
    Recorder recorder;
    const auto notAFolder = service.downloadToFile(QString::fromStdString(server.url("/file/100")),
                                                   dir.filePath(QStringLiteral("plain/file.bin")), recorder);
    EXPECT_EQ(notAFolder.kind, TransferOutcome::Kind::Failed);
    EXPECT_TRUE(notAFolder.reason.contains(systemReason(ENOTDIR))) << notAFolder.reason.toStdString();
    EXPECT_EQ(notAFolder.cause.kind, FailureCause::Kind::Permanent);
    EXPECT_EQ(recorder.starts, 1);
    EXPECT_EQ(recorder.stops, 1);

    // A name longer than the file system takes: the rename at the end is refused.
    Recorder renamed;
    const auto outcome = service.downloadToFile(QString::fromStdString(server.url("/file/100")),
                                                dir.filePath(QString(300, u'n')), renamed);
    EXPECT_EQ(outcome.kind, TransferOutcome::Kind::Failed);
    EXPECT_TRUE(outcome.reason.contains(systemReason(ENAMETOOLONG))) << outcome.reason.toStdString();
    EXPECT_EQ(filesLeft(), QStringList{QStringLiteral("plain")});
}

TEST_F(CurlUrlDownloadServiceTest, AFileSizeLimitMidWriteIsReportedWithTheSystemsReason)
{
    // A write that reaches the limit is cut short without an error, as on a disk that fills up;
    // only the next one says why.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1536 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Recorder recorder;
    const auto outcome = fetch("/file/4194304", recorder);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedSignal);

    EXPECT_EQ(outcome.kind, TransferOutcome::Kind::Failed);
    EXPECT_TRUE(outcome.reason.contains(systemReason(EFBIG))) << outcome.reason.toStdString();
    EXPECT_TRUE(filesLeft().isEmpty());
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
    const TransferOutcome outcome = fetch("/redirect/777", recorder);
    ASSERT_EQ(outcome.kind, TransferOutcome::Kind::Done);
    EXPECT_EQ(readAll(target()), FileServer::pattern(777));
    // Where it ended, which a walk begun on https must know to tell of a turn to http.
    EXPECT_EQ(outcome.finalUrl, QString::fromStdString(server.url("/file/777")));
}

TEST_F(CurlUrlDownloadServiceTest, CookieOfTheSharedSessionGoesWithTheFileRequest)
{
    Recorder login;
    ASSERT_EQ(fetch("/set-cookie", login).kind, TransferOutcome::Kind::Done);
    QFile::remove(target());
    Recorder file;
    ASSERT_EQ(fetch("/needs-cookie", file).kind, TransferOutcome::Kind::Done);
    EXPECT_EQ(readAll(target()), FileServer::pattern(64));
}
}
