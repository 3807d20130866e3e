// SPDX-License-Identifier: MIT
// Times the whole page flow for a queue of download pages, through the same objects the front
// ends use, and measures how late the UI thread runs a 10 ms timer meanwhile.
// Usage: quorvel_flow_bench FOLDER URL...   Prints seconds=… lat_median_ms=… lat_max_ms=… exit=…
#include "batch/BatchProgram.h"
#include "power/NoPowerRequest.h"
#include "power/NoSleepInhibitor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        QTextStream(stderr) << "usage: quorvel_flow_bench FOLDER URL..." << Qt::endl;
        return 2;
    }
    BatchOptions options;
    options.folder = arguments.at(1);
    for (const QString &url : arguments.mid(2)) {
        DownloadEntry entry;
        entry.url = url;
        options.entries.append(entry);
    }

    QString discarded;
    QTextStream sink(&discarded);
    NoPowerRequest power;
    NoSleepInhibitor sleep;
    BatchProgram program(options, power, sleep, {sink, sink, false});

    std::vector<double> lateness;
    QElapsedTimer probeClock;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, &app, [&] {
        lateness.push_back(std::max(0.0, double(probeClock.nsecsElapsed()) / 1e6 - 10.0));
        probeClock.restart();
    });

    int exitCode = -1;
    QObject::connect(&program, &BatchProgram::finished, &app, [&](int code) {
        exitCode = code;
        QCoreApplication::quit();
    });
    QElapsedTimer wall;
    QTimer::singleShot(0, &program, [&] {
        wall.start();
        probeClock.start();
        probe.start();
        program.start();
    });
    QCoreApplication::exec();
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    std::sort(lateness.begin(), lateness.end());
    const double median = lateness.empty() ? 0.0 : lateness[lateness.size() / 2];
    const double worst = lateness.empty() ? 0.0 : lateness.back();
    QTextStream(stdout) << "seconds=" << seconds << " lat_median_ms=" << median << " lat_max_ms=" << worst
                        << " exit=" << exitCode << Qt::endl;
    return exitCode;
}
