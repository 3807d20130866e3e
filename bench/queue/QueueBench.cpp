// SPDX-License-Identifier: MIT
// The main window with a long queue that it keeps on disk: how long a list file of N URLs takes to
// be imported and shown until the window answers again, and how often the state file is written
// for it; how long a fresh window (in a process of its own) takes to start over a state file of N
// entries, and what it holds then and once the user has cleared them; what one change
// of the queue (the head leaving, as when its file arrives) costs the UI thread, with the writer
// idle and with a save under way; how long the writer takes for one save of N entries; and how
// much memory the queue holds and gives back.
// Usage: quorvel_queue_bench [N]   (default 100000; run with QT_QPA_PLATFORM=offscreen)
// Prints entries=… import_ms=… saves_after_import=… change_ms=… change_max_ms=…
// change_during_save_ms=… loop_gap_max_ms=… save_ms=… state_file_bytes=… rss_empty_mib=… rss_full_mib=…
// restore_ms=… saves_after_restore=… rss_restored_mib=… rss_cleared_mib=…
#include "app/QueueKeeping.h"
#include "app/TForm1.h"
#include "automation/Clock.h"
#include "common/StateFile.h"
#include "flow/DownloadSession.h"
#include "keep/QueueKeeper.h"
#include "platform/clipboard/SystemClipboardReader.h"
#include "platform/download/CurlUrlDownloadService.h"
#include "platform/keep/LocalStateFile.h"
#include "platform/net/CurlSession.h"
#include "platform/system/DesktopUrlOpener.h"
#include "platform/web/WebBrowser.h"
#include "power/NoPowerRequest.h"
#include "queue/DownloadQueue.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <semaphore>
#include <vector>

namespace {

using namespace std::chrono_literals;

double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').constFirst().toDouble() / 1024.0;
    }
    return -1;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

/**
 * A state file that counts its replacements, so that the bench sees how often the store writes;
 * each one also wakes the UI thread's event loop, which waits for them. It can hold a save that
 * has begun, so that the queue can change while the writer holds its snapshot. Thread contract:
 * as StateFile's; saves() and holding() from any thread.
 */
class CountingStateFile final : public StateFile
{
public:
    CountingStateFile(StateFile &file, QObject &uiThread)
        : m_file(file)
        , m_uiThread(uiThread)
    {
    }

    int saves() const { return m_saves.load(); }
    /** The next save waits once it has begun, until release(). */
    void holdNextSave() { m_hold = true; }
    bool holding() const { return m_holding.load(); }
    void release() { m_gate.release(); }

    QString path() const override { return m_file.path(); }
    bool claim(QString &why) override { return m_file.claim(why); }
    std::optional<QByteArray> read(QString &why) override { return m_file.read(why); }
    bool replace(const QByteArray &content, QString &why) override
    {
        if (m_hold.exchange(false)) {
            m_holding = true;
            wakeUiThread();
            m_gate.acquire();
            m_holding = false;
        }
        const bool replaced = m_file.replace(content, why);
        ++m_saves;
        wakeUiThread();
        return replaced;
    }
    QString moveAside(QString &why) override { return m_file.moveAside(why); }
    bool remove(QString &why) override { return m_file.remove(why); }

private:
    void wakeUiThread()
    {
        QMetaObject::invokeMethod(
            &m_uiThread, [] {}, Qt::QueuedConnection);
    }

    StateFile &m_file;
    QObject &m_uiThread;
    std::atomic<int> m_saves{0};
    std::atomic<bool> m_hold{false};
    std::atomic<bool> m_holding{false};
    std::binary_semaphore m_gate{0};
};

// Milliseconds from the call until the event loop runs a zero timer posted after it: what a user
// waits for before the window answers.
template <typename Work> double untilAnswering(Work work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    bool answered = false;
    QTimer::singleShot(0, [&] { answered = true; });
    while (!answered)
        QApplication::processEvents(QEventLoop::AllEvents);
    return double(clock.nsecsElapsed()) / 1e6;
}

// Runs the event loop until done() (for 60 s at most) and then for `quiet` more, so that a save
// too many shows. Answers the longest the loop went without turning meanwhile: a save that blocks
// the UI thread shows there.
template <typename Done> double runUntil(Done done, std::chrono::milliseconds quiet)
{
    QElapsedTimer sinceTurn;
    sinceTurn.start();
    double longestMs = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, &probe, [&] {
        longestMs = std::max(longestMs, double(sinceTurn.nsecsElapsed()) / 1e6);
        sinceTurn.restart();
    });
    probe.start();
    const QDeadlineTimer limit(60s);
    while (!done() && !limit.hasExpired())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const QDeadlineTimer rest(quiet);
    while (!rest.hasExpired())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return longestMs;
}

double runUntilSaved(const CountingStateFile &file, int saves, std::chrono::milliseconds quiet)
{
    return runUntil([&] { return file.saves() >= saves; }, quiet);
}

struct Services
{
    WebBrowser &browser;
    CurlUrlDownloadService &downloads;
    NoPowerRequest &power;
    SystemClock &clock;
    DesktopUrlOpener &opener;
    ClipboardReader &pasteReader;
    ClipboardReader &watchReader;
    QSettings &settings;
    QString saveFolder;
};

/** The window as app/main.cpp builds it, keeping its queue in the given file. */
struct KeepingWindow
{
    KeepingWindow(Services &services, StateFile &file)
        : session({services.browser, services.downloads, services.power, services.clock, nullptr, services.saveFolder})
        , form(session, services.opener, services.pasteReader, services.watchReader)
        , keeping(form, session, services.downloads, file, services.settings, services.saveFolder)
    {
        form.show();
    }

    DownloadSession session;
    TForm1 form;
    QueueKeeping keeping;
};

/** The child's part: a window started over path, which holds count entries; prints its figures. */
int restoreAsAtStart(QApplication &app, Services &services, const QString &path, int count)
{
    LocalStateFile local(path);
    CountingStateFile file(local, app);
    std::unique_ptr<KeepingWindow> restored;
    const double restoreMs = untilAnswering([&] { restored = std::make_unique<KeepingWindow>(services, file); });
    if (restored->session.queue().entryList().size() != count)
        return 3;
    runUntilSaved(file, 0, 1000ms);
    const int savesAfterRestore = file.saves();
    const double restoredMiB = residentMiB();
    untilAnswering([&] { restored->form.ClearList1->trigger(); });
    runUntilSaved(file, savesAfterRestore + 1, 500ms);
    QTextStream(stdout) << "restore_ms=" << restoreMs << " saves_after_restore=" << savesAfterRestore
                        << " rss_restored_mib=" << restoredMiB << " rss_cleared_mib=" << residentMiB() << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // Before anything reads them: the bench must never touch the real home or its state.
    QTemporaryDir folder;
    if (!folder.isValid())
        return 2;
    for (const char *variable : {"HOME", "XDG_STATE_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
        qputenv(variable, QFile::encodeName(folder.path()));
    QApplication app(argc, argv);
    CurlSession curl;
    WebBrowser browser(curl);
    CurlUrlDownloadService downloads(curl);
    NoPowerRequest power;
    SystemClock clock;
    DesktopUrlOpener opener;
    QSettings settings(folder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    const auto pasteReader = systemClipboardReader(*QGuiApplication::clipboard());
    const auto watchReader = systemClipboardReader(*QGuiApplication::clipboard());
    Services services{browser, downloads, power, clock, opener, *pasteReader, *watchReader, settings, folder.path()};
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == u"--restore")
        return restoreAsAtStart(app, services, arguments[2], arguments[3].toInt());

    const int count = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 100'000;
    const QString list = folder.filePath(QStringLiteral("list.txt"));
    {
        QFile file(list);
        if (!file.open(QIODevice::WriteOnly))
            return 2;
        QTextStream out(&file);
        for (int i = 0; i < count; ++i)
            out << "http://127.0.0.1:9/file/" << i << "/archive-part-" << i << ".rar\n";
    }
    const QString keptCopy = folder.filePath(QStringLiteral("kept-copy.txt"));

    double importMs = 0, emptyMiB = 0, fullMiB = 0;
    int savesAfterImport = 0;
    qint64 stateFileBytes = 0;
    std::vector<double> changes, changesDuringSave, saves;
    double loopGapMaxMs = 0;
    {
        LocalStateFile local(LocalStateFile::standardPath());
        if (!local.path().startsWith(folder.path()))
            return 2;
        CountingStateFile file(local, app);
        KeepingWindow window(services, file);
        runUntilSaved(file, 0, 500ms);
        emptyMiB = residentMiB();

        int written = file.saves();
        importMs = untilAnswering([&] {
            window.form.LoadListFile(list);
            window.session.queue().showHead();
        });
        runUntilSaved(file, written + 1, 1000ms);
        savesAfterImport = file.saves() - written;
        fullMiB = residentMiB();
        stateFileBytes = QFileInfo(local.path()).size();
        if (!QFile::copy(local.path(), keptCopy))
            return 2;

        // A second keeper of the same queue in a file of its own: its flush, right after a change,
        // is one whole save. The window's own save waits for its coalescing timer meanwhile, which
        // the blocked UI thread cannot run, so the two never write at once.
        DownloadQueue &queue = window.session.queue();
        {
            LocalStateFile timedFile(folder.filePath(QStringLiteral("timed-save.txt")));
            QueueKeeper timed(window.session, downloads, timedFile, QueueKeeper::Keeps::QueueAndHistory);
            QString notice;
            if (!timed.startAfresh(notice))
                return 2;
            timed.flush();
            for (int i = 0; i < std::min(21, count / 4); ++i) {
                written = file.saves();
                queue.removeHead();
                QElapsedTimer saving;
                saving.start();
                timed.flush();
                saves.push_back(double(saving.nsecsElapsed()) / 1e6);
                runUntilSaved(file, written + 1, 0ms);
            }
        }

        // The quiet after each save lets the writer drop its snapshot before the next change.
        for (int i = 0; i < std::min(200, count / 4); ++i) {
            written = file.saves();
            changes.push_back(untilAnswering([&] { queue.removeHead(); }));
            loopGapMaxMs = std::max(loopGapMaxMs, runUntilSaved(file, written + 1, 20ms));
        }

        // While the writer holds its snapshot, the queue's list is shared with it: the first change
        // copies it on the UI thread. The second change is saved too, after the first.
        for (int i = 0; i < std::min(21, count / 4); ++i) {
            written = file.saves();
            file.holdNextSave();
            queue.removeHead();
            runUntil([&] { return file.holding(); }, 0ms);
            changesDuringSave.push_back(untilAnswering([&] { queue.removeHead(); }));
            file.release();
            runUntilSaved(file, written + 2, 20ms);
        }
    }

    // A window of its own over the file as the import left it, in a process of its own, as at
    // the next start: in this one, the freed heap of the window before would hide its cost.
    QProcess restore;
    restore.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--restore"), keptCopy, QString::number(count)});
    if (!restore.waitForFinished(120'000) || restore.exitCode() != 0)
        return 3;
    const QString restored = QString::fromUtf8(restore.readAllStandardOutput()).trimmed();

    QTextStream(stdout) << "entries=" << count << " import_ms=" << importMs
                        << " saves_after_import=" << savesAfterImport << " change_ms=" << median(changes)
                        << " change_max_ms="
                        << (changes.empty() ? 0 : *std::max_element(changes.begin(), changes.end()))
                        << " change_during_save_ms=" << median(changesDuringSave) << " loop_gap_max_ms=" << loopGapMaxMs
                        << " save_ms=" << median(saves) << " state_file_bytes=" << stateFileBytes
                        << " rss_empty_mib=" << emptyMiB << " rss_full_mib=" << fullMiB << ' ' << restored << Qt::endl;
    return 0;
}
