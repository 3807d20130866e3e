// SPDX-License-Identifier: MIT
#pragma once

#include "transfer/NotifyEvents.h"
#include "transfer/UrlDownloadService.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

class UiThreadHandoff;

/**
 * The worker of one transfer: runs the URL download service on a thread of its own and hands
 * each of its notifications to the component's thread. It waits while the start and finish
 * handlers run, and while what a progress handler reads is set; progress itself is posted, at
 * most one report at a time, so that a busy UI thread never holds the transfer back. It is the
 * Sender of the transfer events and frees itself when its thread ends.
 *
 * Thread contract: construct, wire and Resume() on the UI thread; Cancel() from any thread;
 * Execute() and the UrlDownloadCallback methods on the worker; the wired handlers run on the
 * UI thread, through the hand-off.
 */
class DownloadThread final : public QObject, private UrlDownloadCallback
{
    Q_OBJECT

public:
    DownloadThread(UrlDownloadService &service, QString url, QString fileName, std::shared_ptr<UiThreadHandoff> handoff,
                   std::optional<FileChecksum> checksum = std::nullopt);

    void setOnStart(TNotifyEvent handler) { FOnStart = std::move(handler); }
    void setOnProgress(TProgressNotifyEvent handler) { FOnProgress = std::move(handler); }
    void setOnFinish(TFinishNotifyEvent handler) { FOnFinish = std::move(handler); }

    /** Starts the thread. Without one, the transfer still ends with a (failed) finish. */
    void Resume();
    /** The service aborts at its next progress notification. */
    void Cancel() { FCanceled = true; }
    /** How the transfer ended; read it in the finish handler. */
    const TransferOutcome &outcome() const { return m_outcome; }
    /** The KiB an earlier try had kept, counted in the progress; read it in a progress handler. */
    std::uint32_t resumedKiB() const { return m_resumedKiB; }
    /** The file the service saves to, empty until it says; read it in a progress handler. */
    const QString &savingAs() const { return m_savingAs; }
    /** What a later try could continue, if this one ends short; read it in a progress handler. */
    const std::optional<PartialFile> &resumable() const { return m_resumable; }

    /**
     * Waits up to timeout for every worker of the process to end, running no events; true when
     * none is left. For the program's exit, after the components are destroyed (which cancels
     * their transfers and detaches their workers). Any thread.
     */
    static bool waitForWorkers(std::chrono::milliseconds timeout);

private:
    void Execute();
    void onStartBinding() override;
    bool onProgress(std::uint64_t received, std::uint64_t total) override;
    void onResumed(std::uint64_t keptBytes) override;
    void onSavingAs(const QString &fileName) override;
    void onResumable(const std::optional<PartialFile> &part) override;
    void onStopBinding(const TransferOutcome &outcome) override;
    std::optional<FileChecksum> expectedChecksum() const override { return m_checksum; }
    void postProgress();
    void DoStart();
    void DoProgress();
    void DoFinish();

    QString FUrl;
    QString FFileName;
    std::atomic<bool> FCanceled{false};
    TProgressNotifyEvent FOnProgress;
    TNotifyEvent FOnStart;
    TFinishNotifyEvent FOnFinish;
    std::atomic<std::uint32_t> FReceived{0};
    std::atomic<std::uint32_t> FTotal{0};
    /** A progress report is posted and has not run yet: the next one only updates the figures. */
    std::atomic<bool> m_progressPosted{false};

    UrlDownloadService &m_service;
    std::shared_ptr<UiThreadHandoff> m_handoff;
    // Set before the thread starts, only read after.
    const std::optional<FileChecksum> m_checksum;
    // Worker only: they keep a careless service from breaking "one start, one finish".
    bool m_started = false;
    bool m_stopped = false;
    // Worker only: when a report was last posted, and whether figures came after it unshown.
    std::chrono::steady_clock::time_point m_postedAt;
    bool m_unposted = false;
    // UI thread only: the worker sets them there, through the blocking hand-off.
    std::uint32_t m_resumedKiB = 0;
    QString m_savingAs;
    std::optional<PartialFile> m_resumable;
    TransferOutcome m_outcome;
};
