// SPDX-License-Identifier: MIT
#pragma once

#include "automation/MainUnitState.h"
#include "automation/PageTextBuffer.h"
#include "completion/CompletionCommandRunner.h"
#include "flow/FlowViewRelay.h"
#include "flow/PageFlow.h"
#include "flow/RestReason.h"
#include "flow/TransferProgressDisplay.h"
#include "power/ShutdownSwitch.h"
#include "queue/DownloadHistory.h"
#include "queue/DownloadQueue.h"
#include "transfer/TDownloadFile.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>

class Clock;
class FlowView;
class PageBrowser;
class PowerRequest;
class UrlDownloadService;

/**
 * One download run's core objects, built and wired once: the shared state, the page text, the
 * queue, the download component, the power-off switch, the page flow and the transfer follower.
 * The front ends and the tests build one around the services they choose and show it through
 * their FlowView. Thread contract: UI thread only.
 */
class DownloadSession final : public QObject
{
    Q_OBJECT
public:
    struct Services
    {
        PageBrowser &browser;
        UrlDownloadService &downloads;
        PowerRequest &power;
        const Clock &clock;
        /** Where the run shows itself; a front end built on the session attaches itself later. */
        FlowView *view = nullptr;
        /** Where files go while no save folder is chosen. */
        QString defaultFolder;
        /** One counted second of the power-off countdown. */
        std::chrono::milliseconds countdownStep = std::chrono::seconds(1);
        /** How long an entry whose failure may pass is tried again; zero: never. */
        std::chrono::seconds retryBudget = std::chrono::minutes(60);
        /** The host layouts the page flow reads by; none: the built-in reading for every host. */
        const HostLayouts *layouts = nullptr;
    };

    explicit DownloadSession(Services services, QObject *parent = nullptr);

    /**
     * The command run after each file that arrives from now on, with aria2's arguments (the
     * entry's id, "1", the file's path) after its own; its end goes into the file's history
     * record. Empty runs none.
     */
    void setOnDownloadComplete(const QString &command) { m_command.setCommand(command); }
    CompletionCommandRunner &completionCommand() { return m_command; }

    /** Shows the run through view from now on; nullptr shows it nowhere. */
    void attachView(FlowView *view) { m_view.attach(view); }
    /** Shows the run nowhere if view is the one it is shown through. */
    void detachView(const FlowView *view) { m_view.detach(view); }

    MainUnitState &state() { return m_state; }
    PageTextBuffer &buffer() { return m_buffer; }
    DownloadQueue &queue() { return m_queue; }
    /** The entries that ended, and the user's removals; the flow and the queue fill it. */
    DownloadHistory &history() { return m_history; }
    TDownloadFile &download() { return m_download; }
    ShutdownSwitch &shutdown() { return m_shutdown; }
    PageFlow &flow() { return m_flow; }
    TransferProgressDisplay &progress() { return m_progress; }

    /** Where files go: the view's save folder, or the default one while none is chosen. */
    QString saveFolder() const;

    /** Whether a file is being fetched, from its start until the flow has taken in its end. */
    bool transferRunning() const { return m_flow.transferRunning(); }
    /** Whether the run waits for nothing: no page, timer, wait or transfer. */
    bool isAtRest() const { return m_flow.isAtRest(); }

    /** "开始下载" and "停止下载". */
    void StartDownload1Click() { m_flow.StartDownload1Click(); }
    void StopDownExecute() { m_flow.StopDownExecute(); }
    /**
     * "重新下载": the entry of history record id waits at the end of the queue again, and goes on
     * from the part a stopped transfer kept of it; one still queued (a failed one) just waits
     * again. Nothing for an unknown id.
     */
    void downloadAgain(DownloadEntry::Id id);

signals:
    // What happened in the run, for the front ends; PageFlow tells what each means.
    void progressed(std::uint32_t receivedKiB, std::uint32_t totalKiB);
    void transferEnded(const QString &pageUrl, const QString &fileName, const TransferOutcome &outcome);
    void entryEnded(const DownloadEntry &entry);
    void urlDropped(const QString &pageUrl);
    void restingAtFailure(const QString &pageUrl);
    void retryScheduled(const QString &pageUrl, const QString &reason, std::chrono::seconds wait, int retry);
    void entryFailed(const QString &pageUrl, const QString &reason);
    void insecureConnection(const QString &pageUrl, const QString &url);
    /**
     * The run came to rest and nothing more happens in it until someone acts. Sent once the
     * events of the moment are handled, and only when the flow is still at rest then; a power-off
     * countdown may be running.
     */
    void cameToRest(RestReason reason);
    /** The run has work: a start, a page, a page countdown or wait, a retry wait, a transfer. */
    void workStarted();

private:
    /** The user took entries out of the queue: they are recorded as removed, their parts go. */
    void recordRemoved(const QList<DownloadEntry> &entries);

    CompletionCommandRunner m_command;
    MainUnitState m_state;
    PageTextBuffer m_buffer;
    DownloadQueue m_queue;
    DownloadHistory m_history;
    TDownloadFile m_download;
    ShutdownSwitch m_shutdown;
    FlowViewRelay m_view;
    PageFlow m_flow;
    TransferProgressDisplay m_progress;
    QString m_defaultFolder;
};
