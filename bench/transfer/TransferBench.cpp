// SPDX-License-Identifier: MIT
// Fetches one URL through TDownloadFile the way the main window does, with a progress handler
// that formats what the progress display shows, and prints one line of figures for run.sh
// (which measures peak memory from outside, so this stays free of OS calls). With --cut-at F the
// transfer is stopped once F of the file has arrived and started again, as "停止下载" and
// "开始下载" would, and the line tells how many bytes the second start resumed. With --checksum
// TYPE=DIGEST the file is checked as an entry's checksum option has it checked.
#include "platform/download/CurlUrlDownloadService.h"
#include "platform/net/CurlSession.h"
#include "transfer/TDownloadFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace {
QString megabytes(std::uint32_t kib)
{
    return QString::number(kib / 1024.0, 'f', 2) + QStringLiteral(" MB");
}

// Lateness of a 10 ms timer on the UI thread: how long an event waits while the transfer runs.
class LatencyProbe final : public QObject
{
public:
    LatencyProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_lateness.push_back(std::max<qint64>(0, m_clock.nsecsElapsed() - 10'000'000) / 1e6);
            m_clock.restart();
        });
        m_clock.start();
        m_timer.start();
    }
    double median()
    {
        std::sort(m_lateness.begin(), m_lateness.end());
        return m_lateness.empty() ? 0 : m_lateness[m_lateness.size() / 2];
    }
    double max() const { return m_lateness.empty() ? 0 : *std::max_element(m_lateness.begin(), m_lateness.end()); }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    std::vector<double> m_lateness;
};
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool cut = argc == 5 && std::strcmp(argv[3], "--cut-at") == 0;
    const bool checked = argc == 5 && std::strcmp(argv[3], "--checksum") == 0;
    const std::optional<FileChecksum> checksum = checked ? FileChecksum::parse(QString::fromLatin1(argv[4]))
                                                         : std::nullopt;
    if ((argc != 3 && !cut && !checked) || (checked && !checksum)) {
        std::fprintf(stderr, "usage: %s URL TARGET-FILE [--cut-at FRACTION | --checksum TYPE=DIGEST]\n", argv[0]);
        return 2;
    }
    const double cutAt = cut ? std::atof(argv[4]) : 0.0;
    CurlSession session;
    CurlUrlDownloadService service(session);
    TDownloadFile download(service);
    download.setUrlToDownload(QString::fromLocal8Bit(argv[1]));
    download.setFileName(QString::fromLocal8Bit(argv[2]));
    download.setChecksum(checksum);

    QString sizeText, receivedText, percentText;
    long events = 0;
    bool stopped = false;
    download.setOnProgress([&](QObject *, std::uint32_t received, std::uint32_t total) {
        if (cut && !stopped && total > 0 && received >= cutAt * total) {
            stopped = true;
            download.Stop();
        }
        sizeText = megabytes(total);
        receivedText = megabytes(received);
        percentText = QString::number((received + 1.0) * 100 / (total + 2.0), 'f', 2) + QStringLiteral(" %");
        ++events;
    });
    download.setOnFinish([&](QObject *, bool canceled) {
        if (canceled && cut)
            QTimer::singleShot(0, &download, &TDownloadFile::Start);
        else
            app.quit();
    });

    LatencyProbe probe;
    QElapsedTimer clock;
    clock.start();
    download.Start();
    app.exec();
    const double seconds = clock.nsecsElapsed() / 1e9;

    const bool done = download.lastOutcome() && download.lastOutcome()->kind == TransferOutcome::Kind::Done;
    std::printf("ok=%d seconds=%.3f lat_median_ms=%.2f lat_max_ms=%.2f events=%ld resumed_bytes=%llu last=\"%s / %s %s\"\n",
                done, seconds, probe.median(), probe.max(), events,
                static_cast<unsigned long long>(download.lastOutcome() ? download.lastOutcome()->resumedBytes : 0),
                qPrintable(receivedText), qPrintable(sizeText), qPrintable(percentText));
    return done ? 0 : 1;
}
