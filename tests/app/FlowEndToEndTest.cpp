// SPDX-License-Identifier: MIT
// The main window working its queue end to end: the real page engine and transfers against the
// simulated file host on loopback, with waits sped up sixty times and a fake power-off request.
#include "app/ProgressPanel.h"
#include "app/StatusPanels.h"
#include "app/TForm1.h"
#include "common/UrlOpener.h"
#include "flow/DownloadSession.h"
#include "platform/download/CurlUrlDownloadService.h"
#include "platform/net/CurlSession.h"
#include "platform/system/DownloadFolder.h"
#include "platform/web/WebBrowser.h"
#include "queue/DownloadQueue.h"
#include "tests/support/FakePowerRequest.h"
#include "tests/support/Budget.h"
#include "tests/support/FastClock.h"
#include "tests/support/HostFile.h"
#include "tools/fakehost/FakeHost.h"
#include "transfer/DownloadThread.h"

#include "FakeClipboardReader.h"
#include "ModalWatcher.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class NoOpener final : public UrlOpener
{
public:
    void open(const QUrl &) override {}
};

const QString noMoreUrls = QStringLiteral(" 没有更多下载网址 ");

} // namespace

class FlowEndToEndTest : public ::testing::Test
{
protected:
    FlowEndToEndTest() : m_oldHome(qgetenv("HOME"))
    {
        qputenv("HOME", m_home.path().toUtf8());
        m_host.start(0);
        // Retries for two minutes of the fast clock: two of them, in a second and a half.
        downloadSession = std::make_unique<DownloadSession>(DownloadSession::Services{
            browser, downloads, power, clock, nullptr, DownloadFolder::defaultPath(), std::chrono::seconds(1),
            std::chrono::minutes(2)});
        form = std::make_unique<TForm1>(*downloadSession, opener, pasteReader, watchReader);
        form->Edit2->setText(m_folder.path());
    }
    ~FlowEndToEndTest() override
    {
        form.reset();
        downloadSession.reset();
        DownloadThread::waitForWorkers(5s);
        qputenv("HOME", m_oldHome);
        EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join(QLatin1Char('\n')).toStdString();
    }

    QString pageUrl(const std::string &nameAndQuery) const
    {
        return QString::fromStdString(m_host.url("/file/" + nameAndQuery));
    }
    void enqueue(const QStringList &urls)
    {
        queue().appendAll(urls);
        queue().showHead();
    }
    DownloadQueue &queue() { return downloadSession->queue(); }
    void clickStart() { form->strBtn->click(); }
    bool waitFor(const std::function<bool()> &condition, std::chrono::milliseconds budget = 30s)
    {
        return runWithinBudget(condition, budget);
    }
    QString panel(int i) const { return form->StatusBar1->panelText(i); }
    QStringList savedFiles() const { return QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden); }
    /** The files under their own names: the part files a later try continues left out. */
    QStringList finishedFiles() const
    {
        QStringList files = savedFiles();
        files.removeIf([](const QString &name) { return name.endsWith(QLatin1String(".part")); });
        return files;
    }

    void expectFile(const QString &name, std::uint64_t size, const std::string &urlName = {})
    {
        expectHostFile(m_folder.path(), name, size, urlName);
    }

    NoOpener opener;
    FakeClipboardReader pasteReader;
    FakeClipboardReader watchReader;
    CurlSession session;
    WebBrowser browser{session};
    CurlUrlDownloadService downloads{session};
    FakePowerRequest power;
    FastClock clock{60.0};
    std::unique_ptr<DownloadSession> downloadSession;
    std::unique_ptr<TForm1> form;

private:
    QByteArray m_oldHome;
    QTemporaryDir m_home;
    QTemporaryDir m_folder;
    FakeHost m_host{HostDefaults{}, [](const std::string &) {}};
    QStringList m_errors;
    // An error box would stop the run in its modal loop: note its text and close it.
    ModalWatcher m_errorBoxes{[this](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            m_errors.append(box->text());
            box->accept();
        }
        return false;
    }};
};

TEST_F(FlowEndToEndTest, AQueueOfThreeWithAMissingMiddleEndsEmptyWithThePowerOffCheck)
{
    form->ShutPC1->trigger();
    enqueue({pageUrl("first.bin?size=300000&countdown=2"), pageUrl("gone.zip?missing=1"),
             pageUrl("second%20file.bin?size=2500000&countdown=1&nolength=1")});
    clickStart();
    ASSERT_TRUE(waitFor([&] { return panel(0) == noMoreUrls; }));
    expectFile(QStringLiteral("first.bin"), 300000);
    expectFile(QStringLiteral("second file.bin"), 2500000, "second%20file.bin");
    EXPECT_EQ(savedFiles().size(), 2);
    EXPECT_EQ(form->ListBox1->model()->rowCount(), 0);
    EXPECT_TRUE(form->NameEdit->text().isEmpty());
    EXPECT_EQ(form->StatusBar1->panelWidth(0), 125);
    EXPECT_TRUE(form->shutdown().countdown().isRunning());
    form->shutdown().countdown().cancel();
    EXPECT_TRUE(power.calls.isEmpty());
    EXPECT_FALSE(form->shutBtn->isChecked());
}

TEST_F(FlowEndToEndTest, AWaitPageIsWaitedOutThenTheCountdownLeadsToTheFile)
{
    // Three minutes at sixty times the speed: a few ticks show the wait before it ends.
    enqueue({pageUrl("patience.bin?size=5000&wait=3&countdown=5")});
    clickStart();
    ASSERT_TRUE(waitFor([&] { return panel(0) == QStringLiteral(" 你应等待 "); }));
    EXPECT_EQ(panel(2), QStringLiteral(" 下一个下载"));
    ASSERT_TRUE(waitFor([&] { return panel(0) == noMoreUrls; }));
    expectFile(QStringLiteral("patience.bin"), 5000);
}

TEST_F(FlowEndToEndTest, StopDuringACountdownKeepsTheQueue)
{
    const QString url = pageUrl("later.bin?size=10&countdown=3000");
    enqueue({url});
    clickStart();
    ASSERT_TRUE(waitFor([&] { return panel(0) == QStringLiteral(" 下一个开始下载 "); }));
    form->stpBtn->click();
    EXPECT_FALSE(form->flow().Timer1().isActive());
    EXPECT_TRUE(panel(0).isEmpty() && panel(1).isEmpty() && panel(2).isEmpty());
    EXPECT_EQ(queue().entries(), QStringList{url});
    EXPECT_EQ(form->NameEdit->text(), url);
}

TEST_F(FlowEndToEndTest, StopDuringATransferCancelsItAndTheQueueGoesOn)
{
    enqueue({pageUrl("big.bin?size=30000000&rate=2000000&countdown=0"), pageUrl("small.bin?size=1000&countdown=0")});
    clickStart();
    ASSERT_TRUE(waitFor([&] { return !form->Panel1->CmpEdit->text().isEmpty(); }));
    form->stpBtn->click();
    ASSERT_TRUE(waitFor([&] { return panel(0) == noMoreUrls; }));
    EXPECT_EQ(finishedFiles(), QStringList{QStringLiteral("small.bin")});
    // Its record goes on from what arrived, should the user download it again.
    EXPECT_EQ(savedFiles().size(), 2);
    ASSERT_EQ(downloadSession->history().count(), 2);
    EXPECT_EQ(downloadSession->history().at(0).state, DownloadEntry::State::Removed);
    EXPECT_TRUE(downloadSession->history().at(0).part.has_value());
}

TEST_F(FlowEndToEndTest, AQueueClearedDuringARetryWaitEndsInThePowerOffCheck)
{
    form->ShutPC1->trigger();
    enqueue({pageUrl("busy.bin?size=10&about=3")});
    clickStart();
    ASSERT_TRUE(waitFor([&] { return form->flow().Timer2().isActive(); }));
    form->ClearAction->trigger();
    ASSERT_TRUE(waitFor([&] { return form->shutdown().countdown().isRunning(); }));
    form->shutdown().countdown().cancel();
    EXPECT_TRUE(savedFiles().isEmpty());
}

TEST_F(FlowEndToEndTest, ATransferCutHalfwayWaitsAtTheHeadThenIsWalkedAgainUnasked)
{
    form->ShutPC1->trigger();
    const QString url = pageUrl("cut.bin?size=3000000&fail=reset&countdown=0");
    enqueue({url});
    clickStart();
    // Cut: back at the head, waiting with its reason, and no power-off meanwhile.
    ASSERT_TRUE(waitFor([&] { return panel(0) == QStringLiteral(" 等待重试 "); }));
    EXPECT_FALSE(panel(2).trimmed().isEmpty());
    EXPECT_EQ(queue().entries(), QStringList{url});
    EXPECT_EQ(form->NameEdit->text(), url);
    EXPECT_TRUE(finishedFiles().isEmpty());
    EXPECT_FALSE(form->shutdown().countdown().isRunning());

    ASSERT_TRUE(waitFor([&] { return panel(0) == noMoreUrls; }));
    expectFile(QStringLiteral("cut.bin"), 3000000);
    form->shutdown().countdown().cancel();
}

TEST_F(FlowEndToEndTest, AFileThatAlwaysFailsNeitherLoopsNorPowersOff)
{
    form->ShutPC1->trigger();
    const QString bad = pageUrl("never.bin?size=2000000&fail=reset-always&countdown=0");
    enqueue({bad, pageUrl("fine.bin?size=64&countdown=0")});
    clickStart();
    ASSERT_TRUE(waitFor([&] { return savedFiles().contains(QStringLiteral("fine.bin")) && form->flow().isAtRest(); }));
    // Some time at rest: nothing reopens the failed page.
    runWithinBudget([] { return false; }, 1500ms);
    EXPECT_TRUE(form->flow().isAtRest());
    EXPECT_EQ(queue().entries(), QStringList{bad});
    EXPECT_EQ(panel(0), QStringLiteral(" 1 个下载失败 - 开始下载将重试 "));
    EXPECT_FALSE(form->shutdown().countdown().isRunning());
    EXPECT_TRUE(power.calls.isEmpty());
    EXPECT_EQ(savedFiles(), QStringList{QStringLiteral("fine.bin")});
}

TEST_F(FlowEndToEndTest, APageWithFramesIsReadLikeAnyOther)
{
    enqueue({pageUrl("framed.bin?size=2048&frames=1&countdown=1")});
    clickStart();
    ASSERT_TRUE(waitFor([&] { return panel(0) == noMoreUrls; }));
    expectFile(QStringLiteral("framed.bin"), 2048);
}
