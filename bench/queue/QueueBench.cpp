// SPDX-License-Identifier: MIT
// The main window with a long queue: how long a list file of N URLs takes to be imported and
// shown until the window answers again, what one change of the queue (the head leaving, as when
// its file arrives) costs the UI thread, and how much memory the queue holds and gives back.
// Usage: quorvel_queue_bench [N]   (default 100000; run with QT_QPA_PLATFORM=offscreen)
// Prints entries=… import_ms=… change_ms=… rss_empty_mib=… rss_full_mib=… rss_cleared_mib=…
#include "app/TForm1.h"
#include "automation/Clock.h"
#include "flow/DownloadSession.h"
#include "platform/download/CurlUrlDownloadService.h"
#include "platform/net/CurlSession.h"
#include "platform/system/DesktopUrlOpener.h"
#include "platform/web/WebBrowser.h"
#include "power/NoPowerRequest.h"
#include "queue/DownloadQueue.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

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

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 100'000;
    QTemporaryDir folder;
    const QString list = folder.filePath(QStringLiteral("list.txt"));
    {
        QFile file(list);
        if (!file.open(QIODevice::WriteOnly))
            return 2;
        QTextStream out(&file);
        for (int i = 0; i < count; ++i)
            out << "http://127.0.0.1:9/file/" << i << "/archive-part-" << i << ".rar\n";
    }

    CurlSession session;
    WebBrowser browser(session);
    CurlUrlDownloadService downloads(session);
    NoPowerRequest power;
    SystemClock clock;
    DesktopUrlOpener opener;
    DownloadSession downloadSession({browser, downloads, power, clock, nullptr, folder.path()});
    TForm1 form(downloadSession, opener);
    form.show();
    untilAnswering([] {});
    const double emptyMiB = residentMiB();

    const double importMs = untilAnswering([&] {
        form.LoadListFile(list);
        downloadSession.queue().showHead();
    });
    const double fullMiB = residentMiB();

    std::vector<double> changes;
    DownloadQueue &queue = downloadSession.queue();
    for (int i = 0; i < std::min(50, count / 2); ++i)
        changes.push_back(untilAnswering([&] { queue.removeHead(); }));
    std::sort(changes.begin(), changes.end());
    if (changes.empty())
        changes.push_back(0);

    untilAnswering([&] { form.ClearList1->trigger(); });
    const double clearedMiB = residentMiB();

    QTextStream(stdout) << "entries=" << count << " import_ms=" << importMs
                        << " change_ms=" << changes[changes.size() / 2] << " change_max_ms=" << changes.back()
                        << " rss_empty_mib=" << emptyMiB << " rss_full_mib=" << fullMiB
                        << " rss_cleared_mib=" << clearedMiB << Qt::endl;
    return 0;
}
