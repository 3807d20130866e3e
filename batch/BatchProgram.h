// SPDX-License-Identifier: MIT
#pragma once

#include "automation/Clock.h"
#include "automation/MainUnitState.h"
#include "automation/PageTextBuffer.h"
#include "automation/flow/PageFlow.h"
#include "batch/BatchOptions.h"
#include "batch/BatchRunner.h"
#include "batch/ConsoleView.h"
#include "platform/download/CurlUrlDownloadService.h"
#include "platform/net/CurlSession.h"
#include "platform/web/WebBrowser.h"
#include "power/ShutdownSwitch.h"
#include "queue/DownloadQueue.h"
#include "transfer/TDownloadFile.h"
#include "transfer/progress/TransferProgressDisplay.h"

#include <QObject>
#include <QTextStream>

#include <chrono>

class PowerRequest;

/** Tests pass a faster clock and countdown; the program runs on the wall clock. */
struct BatchTiming
{
    const Clock *clock = nullptr;
    std::chrono::milliseconds countdownStep = std::chrono::seconds(1);
};

/**
 * The objects of a display-less run, built and wired as the main window wires its own: the same
 * page flow, page engine, download component, progress display and power-off check, with the
 * console in place of the widgets. The power request comes from outside, so tests pass a fake.
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

    BatchProgram(const BatchOptions &options, PowerRequest &power, Console console, BatchTiming timing = {},
                 QObject *parent = nullptr);

    void start();
    void interrupt() { m_runner.interrupt(); }
    CurlSession &session() { return m_session; }

signals:
    void finished(int exitCode);

private:
    BatchOptions m_options;
    CurlSession m_session;
    WebBrowser m_browser;
    CurlUrlDownloadService m_service;
    MainUnitState m_state;
    PageTextBuffer m_buffer;
    DownloadQueue m_queue;
    TDownloadFile m_download;
    ShutdownSwitch m_shutdown;
    SystemClock m_systemClock;
    const Clock &m_clock;
    ConsoleView m_console;
    PageFlow m_flow;
    TransferProgressDisplay m_display;
    BatchRunner m_runner;
};
