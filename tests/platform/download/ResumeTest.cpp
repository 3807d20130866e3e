// SPDX-License-Identifier: MIT
// A transfer cut by the network, tried again for the same target: what is asked for, what is
// appended, and that what arrives is the server's file byte for byte.
#include "platform/download/CurlUrlDownloadService.h"
#include "platform/net/CurlSession.h"
#include "tests/platform/download/RangeServer.h"
#include "tests/platform/download/TransferRecorder.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

namespace {
constexpr std::size_t fileSize = 2 * 1024 * 1024 + 333;
constexpr std::size_t cutAt = fileSize * 2 / 5;

QByteArray randomBytes(std::size_t size, quint32 seed)
{
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    QRandomGenerator generator(seed);
    generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
    return bytes;
}

class ResumeTest : public ::testing::Test
{
protected:
    explicit ResumeTest(RangeServer::Behaviour behaviour = {})
    {
        if (behaviour.content.isEmpty())
            behaviour.content = original;
        behaviour.cutAfter = cutAt;
        server = std::make_unique<RangeServer>(behaviour);
    }

    TransferOutcome fetch(TransferRecorder &recorder)
    {
        return service->downloadToFile(QString::fromStdString(server->url()), target(), recorder);
    }
    /** The first try, cut at 40 %: it fails and leaves its part file. */
    void fetchCut()
    {
        TransferRecorder recorder;
        const auto outcome = fetch(recorder);
        ASSERT_EQ(outcome.kind, TransferOutcome::Kind::Failed);
        EXPECT_TRUE(outcome.cause.mayPass()) << outcome.reason.toStdString();
        EXPECT_EQ(outcome.resumedBytes, 0u);
    }
    QString target() const { return dir.filePath(QStringLiteral("file.bin")); }
    QStringList filesLeft() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
    QStringList partFiles() const { return filesLeft().filter(QStringLiteral(".part")); }

    const QByteArray original = randomBytes(fileSize, 1);
    QTemporaryDir dir;
    CurlSession session;
    std::unique_ptr<RangeServer> server;
    std::unique_ptr<CurlUrlDownloadService> service = std::make_unique<CurlUrlDownloadService>(session);
};

TEST_F(ResumeTest, CutTransferKeepsItsPartAndTheNextTryFetchesOnlyTheRest)
{
    fetchCut();
    EXPECT_EQ(partFiles().size(), 1) << "the part file went with the failure";
    EXPECT_FALSE(QFile::exists(target())) << "a part file under the target's name";

    TransferRecorder recorder;
    const auto outcome = fetch(recorder);
    ASSERT_EQ(outcome.kind, TransferOutcome::Kind::Done) << outcome.reason.toStdString();
    EXPECT_TRUE(readAll(target()) == original) << "the resumed file differs from the server's";
    EXPECT_EQ(filesLeft(), QStringList{QStringLiteral("file.bin")});

    const auto requests = server->requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].range, "");
    EXPECT_EQ(requests[1].range, "bytes=" + std::to_string(cutAt) + "-");
    EXPECT_EQ(requests[1].ifRange, "\"v1\"");
    EXPECT_EQ(server->bodyBytesSent()[1], fileSize - cutAt);
    EXPECT_EQ(outcome.resumedBytes, cutAt);
    EXPECT_EQ(recorder.resumed, std::vector<std::uint64_t>{cutAt});
    // The progress counts the kept bytes as received from the first report on.
    ASSERT_FALSE(recorder.progress.empty());
    EXPECT_GE(recorder.progress.front().first, cutAt);
    EXPECT_EQ(recorder.progress.back(), std::make_pair(std::uint64_t(fileSize), std::uint64_t(fileSize)));
}

TEST_F(ResumeTest, ATryRefusedInBetweenLeavesThePartForTheNext)
{
    fetchCut();
    // An expired direct link, then a fresh one that works.
    server->change([](RangeServer::Behaviour &b) { b.failWith = 404; });
    TransferRecorder refused;
    EXPECT_EQ(fetch(refused).cause.kind, FailureCause::Kind::ExpiredLink);
    EXPECT_EQ(partFiles().size(), 1) << "a refused try threw the kept part away";
    server->change([](RangeServer::Behaviour &b) { b.failWith = 0; });

    TransferRecorder recorder;
    const auto outcome = fetch(recorder);
    ASSERT_EQ(outcome.kind, TransferOutcome::Kind::Done);
    EXPECT_EQ(outcome.resumedBytes, cutAt);
    EXPECT_TRUE(readAll(target()) == original);
    EXPECT_EQ(server->requests().at(2).range, "bytes=" + std::to_string(cutAt) + "-");
}

TEST_F(ResumeTest, AWeakEtagLeavesTheLastModifiedDateAsValidator)
{
    server->change([](RangeServer::Behaviour &b) { b.etag = "W/\"weak\""; });
    fetchCut();
    TransferRecorder recorder;
    ASSERT_EQ(fetch(recorder).kind, TransferOutcome::Kind::Done);
    EXPECT_TRUE(readAll(target()) == original);
    EXPECT_EQ(server->requests().at(1).ifRange, "Tue, 01 Dec 2026 10:00:00 GMT");
}

TEST_F(ResumeTest, ACancelledTransferKeepsItsPartUntilDiscardedOrTheServiceEnds)
{
    server->change([](RangeServer::Behaviour &b) { b.cutAfter = 0; });
    const auto cancelled = [this] {
        TransferRecorder recorder;
        recorder.abortWhen = [](std::uint64_t received) { return received >= cutAt; };
        EXPECT_EQ(fetch(recorder).kind, TransferOutcome::Kind::Cancelled);
        EXPECT_EQ(partFiles().size(), 1);
    };
    cancelled();
    service->discardPartial(target());
    EXPECT_EQ(filesLeft(), QStringList{});
    service->discardPartial(target());

    cancelled();
    service.reset();
    EXPECT_EQ(filesLeft(), QStringList{}) << "a part file outlived the service";
}

/** What the server does differently on the second try; each must end in a fetch from byte 0. */
struct Restart
{
    const char *name;
    std::function<void(RangeServer::Behaviour &)> change;
    /** The second try still asks for a range (the part was kept) before starting over. */
    bool asksForRange;
};

void PrintTo(const Restart &restart, std::ostream *out)
{
    *out << restart.name;
}

class ResumeRestartTest : public ResumeTest, public ::testing::WithParamInterface<Restart>
{
};

TEST_P(ResumeRestartTest, EndsByteIdenticalFromByteZero)
{
    if (!GetParam().asksForRange) {
        // No validator in the first answer: nothing can guard a range request.
        server->change([](RangeServer::Behaviour &b) {
            b.etag = "W/\"weak\"";
            b.lastModified.clear();
        });
    }
    fetchCut();
    server->change(GetParam().change);

    TransferRecorder recorder;
    const auto outcome = fetch(recorder);
    ASSERT_EQ(outcome.kind, TransferOutcome::Kind::Done) << outcome.reason.toStdString();
    QByteArray expected;
    server->change([&expected](RangeServer::Behaviour &b) { expected = b.content; });
    EXPECT_TRUE(readAll(target()) == expected) << "the file is not the server's";
    EXPECT_EQ(outcome.resumedBytes, 0u);
    EXPECT_TRUE(recorder.resumed.empty());
    EXPECT_EQ(filesLeft(), QStringList{QStringLiteral("file.bin")});
    const auto requests = server->requests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(!requests[1].range.empty(), GetParam().asksForRange);
    EXPECT_EQ(requests.back().range.empty(), !GetParam().asksForRange || requests.size() == 3);
}

INSTANTIATE_TEST_SUITE_P(
    ServerAnswers, ResumeRestartTest,
    ::testing::Values(
        Restart{"IgnoresRange", [](RangeServer::Behaviour &b) { b.ignoresRange = true; }, true},
        Restart{"ValidatorChanged",
                [](RangeServer::Behaviour &b) {
                    b.content = randomBytes(fileSize + 77, 2);
                    b.etag = "\"v2\"";
                    b.lastModified = "Wed, 02 Dec 2026 10:00:00 GMT";
                },
                true},
        Restart{"RangeAtAnotherOffset", [](RangeServer::Behaviour &b) { b.offsetShift = -1000; }, true},
        Restart{"AnotherTotal", [](RangeServer::Behaviour &b) { b.totalShift = 1; }, true},
        Restart{"NoValidator", [](RangeServer::Behaviour &) {}, false}),
    [](const ::testing::TestParamInfo<Restart> &info) { return std::string(info.param.name); });

/** How a server answers the try after the cut, or a fresh request; what the transfer must make of it. */
struct Answer
{
    const char *name;
    /** A first try is cut first, leaving a part that the answer may continue. */
    bool afterCut;
    std::function<void(RangeServer::Behaviour &)> change;
    /** The reason the try fails with; nullptr when the answer yields the whole file. */
    const char *failure;
};

void PrintTo(const Answer &answer, std::ostream *out)
{
    *out << answer.name;
}

class ResumeAnswerTest : public ResumeTest, public ::testing::WithParamInterface<Answer>
{
};

TEST_P(ResumeAnswerTest, NothingButTheServersFileTakesItsName)
{
    if (GetParam().afterCut)
        fetchCut();
    else
        server->change([](RangeServer::Behaviour &b) { b.cutAfter = 0; });
    server->change(GetParam().change);
    QByteArray expected;
    server->change([&expected](RangeServer::Behaviour &b) { expected = b.content; });

    TransferRecorder recorder;
    const auto outcome = fetch(recorder);
    if (!GetParam().failure) {
        ASSERT_EQ(outcome.kind, TransferOutcome::Kind::Done) << outcome.reason.toStdString();
    } else {
        ASSERT_EQ(outcome.kind, TransferOutcome::Kind::Failed);
        EXPECT_EQ(outcome.reason, QString::fromUtf8(GetParam().failure));
        EXPECT_TRUE(outcome.cause.mayPass());
        EXPECT_FALSE(QFile::exists(target())) << "a file that is not the server's under its name";
        // Once the server behaves, whatever the failed try kept must still make the server's file.
        server->change([](RangeServer::Behaviour &b) {
            b = RangeServer::Behaviour{.content = b.content, .etag = b.etag, .lastModified = b.lastModified};
        });
        TransferRecorder again;
        const auto retried = fetch(again);
        ASSERT_EQ(retried.kind, TransferOutcome::Kind::Done) << retried.reason.toStdString();
    }
    EXPECT_TRUE(readAll(target()) == expected) << "the file is not the server's";
    EXPECT_EQ(filesLeft(), QStringList{QStringLiteral("file.bin")});
}

INSTANTIATE_TEST_SUITE_P(
    ServerAnswers, ResumeAnswerTest,
    ::testing::Values(
        Answer{"RestOfAChangedFileDespiteIfRange", true,
               [](RangeServer::Behaviour &b) {
                   b.content = randomBytes(fileSize, 2);
                   b.etag = "\"v2\"";
                   b.lastModified = "Wed, 02 Dec 2026 10:00:00 GMT";
                   b.ignoresIfRange = true;
               },
               nullptr},
        Answer{"RestOfAChangedFileWithoutValidator", true,
               [](RangeServer::Behaviour &b) {
                   b.content = randomBytes(fileSize, 3);
                   b.ignoresIfRange = true;
                   b.validatorsOn206 = false;
               },
               nullptr},
        Answer{"RangeBodyShortWithoutLength", true, [](RangeServer::Behaviour &b) { b.bodyShift = -200000; },
               "文件大小不符"},
        Answer{"RangeBodyLongWithoutLength", true, [](RangeServer::Behaviour &b) { b.bodyShift = 300000; },
               "服务器应答格式错误"},
        Answer{"RangeNotSatisfiable", true, [](RangeServer::Behaviour &b) { b.rangeStatus = 416; }, nullptr},
        Answer{"HalfTheFileToAFreshRequest", false, [](RangeServer::Behaviour &b) { b.freshGetsFirst = fileSize / 2; },
               "文件大小不符"},
        Answer{"AllTheFileAsRangeToAFreshRequest", false,
               [](RangeServer::Behaviour &b) { b.freshGetsFirst = fileSize; }, nullptr},
        Answer{"BadChunkSize", false, [](RangeServer::Behaviour &b) { b.badChunks = true; }, "服务器应答格式错误"}),
    [](const ::testing::TestParamInfo<Answer> &info) { return std::string(info.param.name); });
} // namespace
