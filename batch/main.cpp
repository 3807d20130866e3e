// SPDX-License-Identifier: MIT
// quorvel-batch: works a queue of download pages without a display.
#include "batch/BatchOptions.h"
#include "batch/BatchProgram.h"
#include "platform/console/SignalNotifier.h"
#include "platform/console/Terminal.h"
#include "platform/power/SystemPowerRequest.h"
#include "platform/power/SystemSleepInhibitor.h"
#include "transfer/DownloadThread.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <memory>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ignoreClosedOutput();
    QTextStream out(stdout);
    QTextStream err(stderr);

    const BatchOptions::Parsed parsed = BatchOptions::parse(QCoreApplication::arguments());
    if (const auto *help = std::get_if<BatchOptions::Help>(&parsed)) {
        out << help->text << Qt::flush;
        return 0;
    }
    if (const auto *error = std::get_if<BatchOptions::Error>(&parsed)) {
        err << QStringLiteral("quorvel-batch: ") << error->message << Qt::endl;
        return 2;
    }

    const auto power = systemPowerRequest();
    const auto sleepLock = systemSleepInhibitor();
    int exitCode = 0;
    {
        BatchProgram program(std::get<BatchOptions>(parsed), *power, *sleepLock, {out, err, isTerminal(stdout)});
        SignalNotifier interrupts;
        QObject::connect(&interrupts, &SignalNotifier::interrupted, &program, &BatchProgram::interrupt);
        QObject::connect(&program, &BatchProgram::finished, &app, [&](int code) {
            exitCode = code;
            QCoreApplication::quit();
        });
        QTimer::singleShot(0, &program, &BatchProgram::start);
        QCoreApplication::exec();
    }
    // The program's end removed the part files it kept for later tries; a transfer cut off by a
    // second interrupt removes its own before its worker ends.
    DownloadThread::waitForWorkers(std::chrono::milliseconds(1500));
    return exitCode;
}
