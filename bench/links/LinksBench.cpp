// SPDX-License-Identifier: MIT
// What a wrongly large paste or drop costs the main window: 100,000 URLs and 100 MB of text on
// the clipboard, a 100 MB text file and a 100 MB binary file dropped. For each, the longest the
// UI thread's event loop went without turning (from the paste or drop until the window has
// shown the result), the memory the process held at its peak over what it held before, and
// what the status bar said. On X11 (under Xvfb: QT_QPA_PLATFORM=xcb) another process of the bench
// owns the clipboard, so that a paste's text crosses the X server as it does from another program;
// with one process alone the clipboard never leaves it.
// Usage: quorvel_links_bench   (QT_QPA_PLATFORM=offscreen, or xcb with a DISPLAY)
// Prints one line a case: case=… stall_ms=… done_ms=… peak_rss_growth_mib=… queued=… status="…"
// (done_ms: from the paste or drop until the window has the result.)
#include "app/QueueKeeping.h"
#include "app/StatusPanels.h"
#include "app/TForm1.h"
#include "automation/Clock.h"
#include "flow/DownloadSession.h"
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
#include <QClipboard>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QListView>
#include <QMimeData>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <functional>

namespace {

using namespace std::chrono_literals;

constexpr qsizetype hundredMB = qsizetype(100) * 1000 * 1000;

double statusMiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').constFirst().toDouble() / 1024.0;
    }
    return -1;
}

/** Makes the peak resident size start again from the present one. */
void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

/**
 * Runs work inside the event loop, then the loop for a second more (the view lays out its new rows
 * and the keeper saves them meanwhile); answers the longest the loop went without turning and how
 * long work took.
 */
struct Timing
{
    double longestStallMs = 0;
    double workMs = 0;
};

Timing timed(const std::function<void()> &work)
{
    Timing timing;
    QElapsedTimer sinceTurn;
    double longestMs = 0;
    const auto turned = [&] {
        longestMs = std::max(longestMs, double(sinceTurn.nsecsElapsed()) / 1e6);
        sinceTurn.restart();
    };
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, &probe, turned);
    bool done = false;
    QTimer::singleShot(50ms, &probe, [&] {
        QElapsedTimer working;
        working.start();
        work();
        timing.workMs = double(working.nsecsElapsed()) / 1e6;
        done = true;
    });
    sinceTurn.start();
    probe.start();
    while (!done)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const QDeadlineTimer rest(1s);
    while (!rest.hasExpired())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    turned();
    timing.longestStallMs = longestMs;
    return timing;
}

QString written(const QString &path, const std::function<void(QTextStream &)> &write)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        QTextStream out(&file);
        write(out);
    }
    return path;
}

/** Lines of URLs and prose in turn, size characters in all. */
QString mixedText(qsizetype size)
{
    QString text;
    text.reserve(size);
    for (int i = 0; text.size() < size; ++i)
        text += i % 2 ? QStringLiteral("http://127.0.0.1:9/file/%1/part.rar\n").arg(i)
                      : QStringLiteral("a line of prose that holds no link at all, number %1\n").arg(i);
    text.truncate(size);
    return text;
}

/** The child's part: owns the clipboard with the text in path until it is ended. */
int ownClipboard(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 2;
    QGuiApplication::clipboard()->setText(QString::fromUtf8(file.readAll()));
    QTextStream(stdout) << "owning" << Qt::endl;
    return QApplication::exec();
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
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == u"--own-clipboard")
        return ownClipboard(arguments[2]);
    const bool acrossX11 = QGuiApplication::platformName() == u"xcb";
    CurlSession curl;
    WebBrowser browser(curl);
    CurlUrlDownloadService downloads(curl);
    NoPowerRequest power;
    SystemClock clock;
    DesktopUrlOpener opener;
    QSettings settings(folder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    LocalStateFile stateFile(LocalStateFile::standardPath());
    if (!stateFile.path().startsWith(folder.path()))
        return 2;
    DownloadSession session({browser, downloads, power, clock, nullptr, folder.path()});
    const auto pasteReader = systemClipboardReader(*QGuiApplication::clipboard());
    const auto watchReader = systemClipboardReader(*QGuiApplication::clipboard());
    TForm1 form(session, opener, *pasteReader, *watchReader);
    QueueKeeping keeping(form, session, downloads, stateFile, settings, folder.path());
    form.show();
    form.ListBox1->setFocus();

    const QString textFile = written(folder.filePath(QStringLiteral("big.txt")),
                                     [](QTextStream &out) { out << mixedText(hundredMB); });
    const QString binaryFile = written(folder.filePath(QStringLiteral("big.bin")), [](QTextStream &out) {
        const QString chunk = QStringLiteral("ELF") + QChar::Null + QString(1 << 20, u'x');
        for (qsizetype done = 0; done < hundredMB; done += chunk.size())
            out << chunk;
    });
    struct Case
    {
        const char *name;
        /** What the user did before: copied the text, in this process or in another. */
        std::function<void()> before;
        std::function<void()> work;
    };
    QProcess owner;
    const auto paste = [&](const char *name, const QString &text) {
        const QString path = written(folder.filePath(QString::fromLatin1(name)),
                                     [&text](QTextStream &out) { out << text; });
        const auto copy = [&, path] {
            if (acrossX11) {
                owner.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--own-clipboard"), path});
                owner.waitForReadyRead(60'000);
            } else {
                QFile file(path);
                if (file.open(QIODevice::ReadOnly))
                    QGuiApplication::clipboard()->setText(QString::fromUtf8(file.readAll()));
            }
        };
        // The text is read aside: the paste ends when the reader has answered.
        const auto pasted = [&form, &pasteReader] {
            QEventLoop answered;
            QObject::connect(pasteReader.get(), &ClipboardReader::textRead, &answered, &QEventLoop::quit);
            QObject::connect(pasteReader.get(), &ClipboardReader::failed, &answered, &QEventLoop::quit);
            QTimer::singleShot(30s, &answered, &QEventLoop::quit);
            form.EditPaste1->trigger();
            if (pasteReader->isReading())
                answered.exec();
        };
        return Case{name, copy, pasted};
    };
    const auto drop = [&form](const char *name, const QString &path) {
        const auto dropped = [&form, path] {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path)});
            form.addLinks(data);
        };
        return Case{name, [] {}, dropped};
    };
    QString urls;
    for (int i = 0; i < 100'000; ++i)
        urls += QStringLiteral("http://127.0.0.1:9/file/%1/archive-part-%1.rar\n").arg(i);
    const QList<Case> cases = {
        paste("paste_100k_urls", urls),
        paste("paste_100mb_text", mixedText(hundredMB)),
        drop("drop_100mb_text_file", textFile),
        drop("drop_100mb_binary_file", binaryFile),
    };
    urls.clear();
    for (const Case &each : cases) {
        session.queue().clear();
        each.before();
        QApplication::processEvents();
        const double before = statusMiB("VmRSS:");
        resetPeak();
        const Timing timing = timed(each.work);
        QTextStream(stdout) << "case=" << each.name << " stall_ms=" << timing.longestStallMs
                            << " done_ms=" << timing.workMs << " peak_rss_growth_mib=" << statusMiB("VmHWM:") - before
                            << " queued=" << session.queue().count() << " status=\"" << form.StatusBar1->panelText(0)
                            << '"' << Qt::endl;
        QGuiApplication::clipboard()->clear();
        owner.kill();
        owner.waitForFinished();
    }
    return 0;
}
