// SPDX-License-Identifier: MIT
// The real quorvel-batch executable: exit statuses, interrupts and what it writes to a pipe.
#include "tools/fakehost/FakeHost.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString batch = QStringLiteral(QUORVEL_BATCH_EXE);

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

    QProcess m_process;
    QString m_output;

private:
    FakeHost m_host{HostDefaults{}, [](const std::string &) {}};
    QTemporaryDir m_home;
    QTemporaryDir m_folder;
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
