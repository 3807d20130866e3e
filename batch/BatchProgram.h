// SPDX-License-Identifier: MIT
#pragma once

#include "automation/Clock.h"
#include "batch/BatchOptions.h"
#include "batch/BatchRunner.h"
#include "batch/ConsoleView.h"
#include "flow/DownloadSession.h"
#include "keep/QueueKeeper.h"
#include "layout/LayoutLoader.h"
#include "platform/download/CurlUrlDownloadService.h"
#include "platform/keep/LocalStateFile.h"
#include "platform/net/CurlSession.h"
#include "platform/rpc/RemoteControl.h"
#include "platform/web/WebBrowser.h"
#include "power/KeepAwake.h"

#include <QObject>
#include <QTextStream>

#include <chrono>
#include <memory>
#include <optional>

class PowerRequest;
class SleepInhibitor;

/** Tests pass a faster clock and countdown; the program runs on the wall clock. */
struct BatchTiming
{
    const Clock *clock = nullptr;
    std::chrono::milliseconds countdownStep = std::chrono::seconds(1);
};

/**
 * A display-less run: the real page engine and URL download service under a download session,
 * shown on the console. The power request and the sleep lock come from outside, so tests pass fakes.
 * Thread contract: UI thread only.
 */
class BatchProgram final : public QObject
{
    Q_OBJECT
public:
    struct Console
    {
        QTextStream &out;
        QTextStream &err;
        bool liveLine;
    };

    BatchProgram(const BatchOptions &options, PowerRequest &power, SleepInhibitor &sleep, Console console,
                 BatchTiming timing = {}, QObject *parent = nullptr);

    void start();
    void interrupt() { m_runner.interrupt(); }
    CurlSession &session() { return m_session; }

signals:
    void finished(int exitCode);

private:
    /** Starts keeping the queue in the --save-session file; false when it cannot be written. */
    bool keepSession();
    /** Starts answering aria2's clients; false, and the run over, when the server cannot listen. */
    bool startRemoteControl();

    BatchOptions m_options;
    CurlSession m_session;
    WebBrowser m_browser;
    CurlUrlDownloadService m_service;
    SystemClock m_systemClock;
    ConsoleView m_console;
    LoadedLayouts m_layouts;
    DownloadSession m_downloadSession;
    BatchRunner m_runner;
    KeepAwake m_keepAwake;
    // After the session, which it reads while it goes.
    std::optional<LocalStateFile> m_sessionFile;
    std::unique_ptr<QueueKeeper> m_keeper;
    RemoteControl m_remoteControl{m_downloadSession};
};
