// SPDX-License-Identifier: MIT
// The real quorvel-batch executable: exit statuses, interrupts and what it writes to a pipe.
#include "queue/QueueListFile.h"
#include "tests/support/HostFile.h"
#include "tools/fakehost/FakeHost.h"
#include "tools/fakehost/FileContent.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

using namespace Qt::StringLiterals;

namespace {

const QString batch = QStringLiteral(QUORVEL_BATCH_EXE);

quint16 freeLoopbackPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

/** One call's whole HTTP answer from the server of another process; empty when none came. */
QByteArray postTo(quint16 port, const QByteArray &body)
{
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    if (!client.waitForConnected(5000))
        return {};
    client.write("POST /jsonrpc HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port)
                 + "\r\nConnection: close\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    QByteArray answer;
    while (client.waitForReadyRead(5000))
        answer += client.readAll();
    return answer;
}

} // namespace

class BatchProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_host.start(0);
        // The default folder must never be the developer's own.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_home.path());
        m_process.setProcessEnvironment(environment);
    }
    void TearDown() override
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    QString pageUrl(const std::string &nameAndQuery) const
    {
        return QString::fromStdString(m_host.url("/file/" + nameAndQuery));
    }
    void start(const QStringList &arguments)
    {
        m_process.start(batch, QStringList{QStringLiteral("--folder"), m_folder.path()} + arguments);
        ASSERT_TRUE(m_process.waitForStarted(5000));
    }
    /** Waits until the output holds text; false after the budget. */
    bool waitForOutput(const QString &text, int budgetMs = 20000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_output.contains(text)) {
            const bool gone = !m_process.waitForReadyRead(200) && m_process.state() == QProcess::NotRunning;
            if (gone || timer.elapsed() > budgetMs)
                return false;
            m_output += QString::fromUtf8(m_process.readAllStandardOutput());
        }
        return true;
    }
    /** Sends sig and answers how long the process took to end. */
    qint64 interruptAndTime(const char *sig)
    {
        QElapsedTimer timer;
        timer.start();
        QProcess::execute(QStringLiteral("kill"), {QStringLiteral("-") + QLatin1String(sig),
                                                   QString::number(m_process.processId())});
        EXPECT_TRUE(m_process.waitForFinished(10000));
        m_output += QString::fromUtf8(m_process.readAllStandardOutput());
        return timer.elapsed();
    }
    QStringList folderEntries() const { return QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden); }
    std::string savedBytes(const QString &name) const
    {
        QFile file(QDir(m_folder.path()).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }

    QProcess m_process;
    QString m_output;

    QTemporaryDir m_folder;

private:
    FakeHost m_host{HostDefaults{}, [](const std::string &) {}};
    QTemporaryDir m_home;
};

TEST_F(BatchProcessTest, SigintDuringATransferCancelsItWithinTwoSecondsAndLeavesNoFile)
{
    start({pageUrl("slow.bin?size=40000000&rate=1000000&countdown=0")});
    ASSERT_TRUE(waitForOutput(QStringLiteral("下载中")));
    EXPECT_LT(interruptAndTime("INT"), 2000);
    EXPECT_EQ(m_process.exitCode(), 130);
    EXPECT_EQ(folderEntries(), QStringList{});
    EXPECT_TRUE(m_output.contains(QStringLiteral("完成 0 个文件")));
}

TEST_F(BatchProcessTest, SighupDuringATransferStopsItLikeSigintAndLeavesNoPartFile)
{
    start({pageUrl("slow.bin?size=40000000&rate=1000000&countdown=0")});
    ASSERT_TRUE(waitForOutput(QStringLiteral("下载中")));
    EXPECT_LT(interruptAndTime("HUP"), 2000);
    EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit) << "killed by the signal";
    EXPECT_EQ(m_process.exitCode(), 130);
    EXPECT_EQ(folderEntries(), QStringList{});
}

TEST_F(BatchProcessTest, OutputClosedAfterOneLineNeitherKillsTheRunNorChangesItsStatus)
{
    const std::string name = "piped.bin";
    constexpr std::uint64_t size = 3000000;
    // Both outputs into `head -n 1`, which goes after the first line; the status is the run's
    // own, 128 + 13 when SIGPIPE killed it.
    const QString pipeline = QStringLiteral("\"$0\" \"$@\" 2>&1 | head -n 1; exit ${PIPESTATUS[0]}");
    m_process.start(QStringLiteral("bash"), {QStringLiteral("-c"), pipeline, batch, QStringLiteral("--folder"),
                                             m_folder.path(), pageUrl(name + "?size=3000000&rate=2000000&countdown=0")});
    ASSERT_TRUE(m_process.waitForFinished(30000));
    EXPECT_EQ(m_process.readAllStandardOutput().count('\n'), 1);
    EXPECT_EQ(m_process.exitCode(), 0) << "141: killed by SIGPIPE";
    EXPECT_EQ(folderEntries(), QStringList{QString::fromStdString(name)});
    EXPECT_TRUE(savedBytes(QString::fromStdString(name)) == FileContent(name, size).bytes(0, size));
}

TEST_F(BatchProcessTest, NamesTooLongForTheFileSystemArriveWholeUnderAShortenedName)
{
    // 300 bytes of ASCII, and 90 Chinese characters (270 bytes of UTF-8) as a page writes them.
    const std::string ascii = std::string(296, 'n') + ".bin";
    std::string cjk;
    for (int i = 0; i < 90; ++i)
        cjk += "%E4%B8%AD";
    cjk += ".bin";
    constexpr std::uint64_t size = 200000;
    start({pageUrl(ascii + "?size=200000&countdown=0"), pageUrl(cjk + "?size=200000&countdown=0")});
    ASSERT_TRUE(m_process.waitForFinished(30000));
    m_output += QString::fromUtf8(m_process.readAllStandardOutput());
    EXPECT_EQ(m_process.exitCode(), 0) << m_output.toStdString();

    const QStringList saved = folderEntries();
    ASSERT_EQ(saved.size(), 2) << saved.join(u' ').toStdString();
    for (const auto &[rawName, start] : {std::pair{ascii, QString(242, u'n')}, std::pair{cjk, QString(80, QChar(0x4E2D))}}) {
        const auto match = std::find_if(saved.begin(), saved.end(), [&](const QString &name) { return name.startsWith(start + u'~'); });
        ASSERT_NE(match, saved.end()) << rawName;
        EXPECT_LE(match->toUtf8().size(), 255);
        EXPECT_TRUE(match->endsWith(QStringLiteral(".bin")));
        EXPECT_TRUE(savedBytes(*match) == FileContent(rawName, size).bytes(0, size)) << "not the whole file";
    }
}

TEST_F(BatchProcessTest, AFolderThatCannotBeMadeSaysWhy)
{
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    m_process.start(batch, {QStringLiteral("--folder"), dir.filePath(QStringLiteral("plain/sub")), pageUrl("a.bin")});
    ASSERT_TRUE(m_process.waitForFinished(10000));
    EXPECT_EQ(m_process.exitCode(), 2);
    const QString error = QString::fromUtf8(m_process.readAllStandardError());
    EXPECT_TRUE(error.contains(QString::fromLocal8Bit(std::strerror(ENOTDIR)))) << error.toStdString();
}

TEST_F(BatchProcessTest, SigtermDuringACountdownEndsTheRun)
{
    start({pageUrl("wait.bin?size=10&countdown=600")});
    ASSERT_TRUE(waitForOutput(QStringLiteral("下一个开始下载")));
    EXPECT_LT(interruptAndTime("TERM"), 2000);
    EXPECT_EQ(m_process.exitCode(), 130);
    EXPECT_EQ(folderEntries(), QStringList{});
}

TEST_F(BatchProcessTest, OutputOnAPipeHasNoTerminalControlCodes)
{
    start({pageUrl("a.bin?size=3000000&rate=3000000&countdown=0"), pageUrl("gone?missing=1")});
    ASSERT_TRUE(m_process.waitForFinished(30000));
    m_output += QString::fromUtf8(m_process.readAllStandardOutput());
    EXPECT_EQ(m_process.exitCode(), 1);
    EXPECT_FALSE(m_output.contains(QLatin1Char('\x1b')));
    EXPECT_FALSE(m_output.contains(QLatin1Char('\r')));
    EXPECT_TRUE(m_output.contains(QStringLiteral("完成 1 个文件, 丢弃 1")));
}

TEST_F(BatchProcessTest, BadArgumentsExitWithTwoAndOneLine)
{
    for (const QStringList &arguments : {QStringList{QStringLiteral("--nonsense")}, QStringList{QStringLiteral("/no/list")}}) {
        m_process.start(batch, arguments);
        ASSERT_TRUE(m_process.waitForFinished(10000));
        EXPECT_EQ(m_process.exitCode(), 2);
        const QString error = QString::fromUtf8(m_process.readAllStandardError());
        EXPECT_EQ(error.count(QLatin1Char('\n')), 1) << error.toStdString();
    }
}

TEST_F(BatchProcessTest, TheSecondSiteIsFetchedByItsShippedLayoutAndTheFirstByTheBuiltInReading)
{
    // The user's layout folder holds the package's layout of the second site and a broken one.
    const QTemporaryDir config;
    const QString layouts = config.filePath(QStringLiteral("quorvel/layouts"));
    ASSERT_TRUE(QDir().mkpath(layouts));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUORVEL_SHIPPED_LAYOUTS "/fakehost-slow.layout"),
                            layouts + QStringLiteral("/fakehost-slow.layout")));
    QFile broken(layouts + QStringLiteral("/broken.layout"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("hosts = broken.example\npress = value: Go\n");
    broken.close();
    QProcessEnvironment environment = m_process.processEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    m_process.setProcessEnvironment(environment);

    const auto onSecondSite = [this](const std::string &nameAndQuery) {
        return pageUrl(nameAndQuery)
            .replace(QStringLiteral("//127.0.0.1:"), QStringLiteral("//slowfiles.localhost:"))
            .replace(QStringLiteral("/file/"), QStringLiteral("/slow/file/"));
    };
    constexpr std::uint64_t size = 300000;
    start({onSecondSite("second%20site.bin?size=300000&countdown=1"), onSecondSite("gone.bin?missing=1"),
           pageUrl("first-site.bin?size=300000&countdown=1")});
    ASSERT_TRUE(m_process.waitForFinished(60000));
    m_output += QString::fromUtf8(m_process.readAllStandardOutput());
    const QString errors = QString::fromUtf8(m_process.readAllStandardError());
    EXPECT_EQ(m_process.exitCode(), 1) << "the missing file's entry was dropped\n"
                                       << m_output.toStdString() << errors.toStdString();

    EXPECT_TRUE(errors.contains(layouts + QStringLiteral("/broken.layout: 没有 \"file = ...\" 行")))
        << errors.toStdString();
    EXPECT_TRUE(m_output.contains(QStringLiteral("丢弃 (文件不存在): ") + onSecondSite("gone.bin?missing=1")))
        << m_output.toStdString();
    EXPECT_EQ(folderEntries(), (QStringList{QStringLiteral("first-site.bin"), QStringLiteral("second site.bin")}));
    EXPECT_TRUE(savedBytes(QStringLiteral("second site.bin")) == FileContent("second%20site.bin", size).bytes(0, size));
    EXPECT_TRUE(savedBytes(QStringLiteral("first-site.bin")) == FileContent("first-site.bin", size).bytes(0, size));
}

// A run killed at any moment, again and again, goes on from its session file each time: no entry
// is lost or fetched twice, and the cut transfers continue from their part files.
TEST_F(BatchProcessTest, KilledRunsGoOnFromTheirSessionFileAndResumeTheirParts)
{
    std::mutex logMutex;
    QStringList fileRequests;
    FakeHost host{HostDefaults{}, [&](const std::string &line) {
                      const std::lock_guard lock(logMutex);
                      if (line.find(" /get/") != std::string::npos)
                          fileRequests << QString::fromStdString(line);
                  }};
    host.start(0);
    const QStringList names{u"one.bin"_s, u"two.bin"_s, u"three.bin"_s, u"four.bin"_s};
    constexpr std::uint64_t size = 3'000'000;
    QStringList urls;
    for (const QString &name : names)
        urls << QString::fromStdString(
            host.url("/file/" + name.toStdString() + "?size=3000000&rate=1500000&countdown=0"));
    const QString session = m_folder.filePath(u"../session.txt"_s);

    QRandomGenerator random(19);
    for (int kill = 0; kill < 6; ++kill) {
        m_output.clear();
        start(QStringList{u"--save-session"_s, session} + (kill == 0 ? urls : QStringList{session}));
        if (!waitForOutput(QStringLiteral("下载中"), 20000))
            break; // the run came to its end before this kill
        QThread::msleep(100 + random.bounded(900));
        m_process.kill();
        ASSERT_TRUE(m_process.waitForFinished(5000));
    }
    start({u"--save-session"_s, session, session});
    ASSERT_TRUE(m_process.waitForFinished(60000));
    EXPECT_EQ(m_process.exitCode(), 0) << m_process.readAllStandardOutput().toStdString();
    QStringList expected = names;
    expected.sort();
    QStringList arrived = folderEntries();
    // A kill in the moment between a part's first bytes and its record leaves it to nobody.
    arrived.removeIf([](const QString &name) { return name.endsWith(u".part"_s); });
    arrived.sort();
    EXPECT_EQ(arrived, expected) << "no second copy of a file";
    for (const QString &name : names)
        expectHostFile(m_folder.path(), name, size);
    const std::lock_guard lock(logMutex);
    EXPECT_TRUE(fileRequests.filter(u" 206 "_s).size() > 0) << fileRequests.join(u'\n').toStdString();
}

TEST_F(BatchProcessTest, AnInterruptKeepsTheCutEntryAndItsPartInTheSessionFile)
{
    const QString session = m_folder.filePath(u"../interrupted.txt"_s);
    const QString url = pageUrl("slow.bin?size=40000000&rate=1000000&countdown=0");
    start({u"--save-session"_s, session, url, pageUrl("next.bin?size=10&countdown=0")});
    ASSERT_TRUE(waitForOutput(QStringLiteral("下载中")));
    QThread::msleep(1500);
    interruptAndTime("INT");
    EXPECT_EQ(m_process.exitCode(), 130);
    const QList<DownloadEntry> kept = QueueListFile::read(session);
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(kept[0].url, url) << "back at the head";
    ASSERT_TRUE(kept[0].part.has_value());
    EXPECT_TRUE(QFileInfo(kept[0].part->partName).size() > 0);
    EXPECT_EQ(folderEntries(), QStringList{QFileInfo(kept[0].part->partName).fileName()});
}

TEST_F(BatchProcessTest, UnderRemoteControlAnEmptyQueueWaitsForWorkUntilAClientSaysShutdown)
{
    QProcessEnvironment environment = m_process.processEnvironment();
    environment.insert(QStringLiteral("QUORVEL_RPC_SECRET"), QStringLiteral("s3cret"));
    m_process.setProcessEnvironment(environment);
    const quint16 port = freeLoopbackPort();
    start({QStringLiteral("--enable-rpc"), QStringLiteral("--rpc-listen-port"), QString::number(port)});
    ASSERT_TRUE(waitForOutput(QStringLiteral("等待新任务")));

    const QByteArray added = postTo(port,
                                    R"({"jsonrpc":"2.0","id":"1","method":"aria2.addUri","params":["token:s3cret",[")"
                                        + pageUrl("added.bin?size=1000&countdown=0").toUtf8() + R"("]]})");
    EXPECT_TRUE(added.startsWith("HTTP/1.1 200 ")) << added.toStdString();
    ASSERT_TRUE(waitForOutput(QStringLiteral("完成: ")));
    EXPECT_FALSE(m_process.waitForFinished(300));
    EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("added.bin")});

    const QByteArray stopped = postTo(
        port, R"({"jsonrpc":"2.0","id":"2","method":"aria2.shutdown","params":["token:s3cret"]})");
    EXPECT_TRUE(stopped.contains(R"("result":"OK")")) << stopped.toStdString();
    EXPECT_TRUE(m_process.waitForFinished(5000));
}

TEST_F(BatchProcessTest, UnderRemoteControlWorkAddedByAClientIsKeptWhenSigtermEndsTheRun)
{
    QProcessEnvironment environment = m_process.processEnvironment();
    environment.insert(QStringLiteral("QUORVEL_RPC_SECRET"), QStringLiteral("s3cret"));
    m_process.setProcessEnvironment(environment);
    const quint16 port = freeLoopbackPort();
    const QString session = m_folder.filePath(u"../service.txt"_s);
    start({QStringLiteral("--enable-rpc"), QStringLiteral("--rpc-listen-port"), QString::number(port),
           QStringLiteral("--save-session"), session});
    ASSERT_TRUE(waitForOutput(QStringLiteral("等待新任务")));
    const QString url = pageUrl("later.bin?size=10&countdown=600");
    const QByteArray added = postTo(port,
                                    R"({"jsonrpc":"2.0","id":"1","method":"aria2.addUri","params":["token:s3cret",[")"
                                        + url.toUtf8() + R"("]]})");
    EXPECT_TRUE(added.startsWith("HTTP/1.1 200 ")) << added.toStdString();
    ASSERT_TRUE(waitForOutput(QStringLiteral("下一个开始下载")));

    EXPECT_LT(interruptAndTime("TERM"), 2000);
    EXPECT_EQ(m_process.exitCode(), 130);
    const QList<DownloadEntry> kept = QueueListFile::read(session);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept[0].url, url);
}
