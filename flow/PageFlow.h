// SPDX-License-Identifier: MIT
#pragma once

#include "automation/BrowserPageAccess.h"
#include "automation/BuiltInPageReader.h"
#include "flow/EntryRetry.h"
#include "flow/RestReason.h"
#include "flow/RetryWait.h"
#include "layout/LayoutPageReader.h"
#include "power/ShutdownSwitch.h"
#include "queue/DownloadQueue.h"
#include "transfer/UrlDownloadService.h"

#include <QObject>
#include <QHash>
#include <QSet>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <optional>

class Clock;
class FlowView;
class HostLayouts;
class PageBrowser;
class PageTextBuffer;
class TDownloadFile;
struct MainUnitState;

/**
 * Walks the host's free-download pages for the URL at the head of the queue: opens the page,
 * fetches it at once when its address (or any page's of the walk) answers with the file itself,
 * reads each loaded page through the scanners, presses "Free user", counts the countdown down
 * and hands the file URL to the download component, waits and retries on wait pages, and drops
 * URLs whose file is missing. It follows the transfer it started to its end and goes on with the
 * queue; it is the one class that changes the queue during a run, and its entries' states follow
 * the walk. What it does is shown through the view and, for the transfer display and the front
 * ends, its signals.
 *
 * Errors that reach a handler driven by a signal (a timer tick, a browser event) go to the view's
 * error box. Thread contract: UI thread only.
 */
class PageFlow final : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        MainUnitState &state;
        PageTextBuffer &buffer;
        PageBrowser &browser;
        DownloadQueue &queue;
        TDownloadFile &download;
        ShutdownSwitch &shutdown;
        const Clock &clock;
        FlowView &view;
        QString defaultFolder;
        /** How long an entry whose failure may pass is tried again; zero: never. */
        std::chrono::seconds retryBudget = std::chrono::minutes(60);
        /** The layouts by which the pages of the hosts they name are read; the built-in reading for the rest. */
        const HostLayouts *layouts = nullptr;
    };

    /** What the status line and the console say of a walk led from https on to http. */
    static QString insecureConnectionText() { return QStringLiteral("不安全的 http 连接"); }

    /** How many "Free user" presses one walk from an entry's page may take. */
    static constexpr int maxFreeUserPresses = 10;

    explicit PageFlow(Parts parts, QObject *parent = nullptr);

    /**
     * "开始下载": opens the current URL, or with none ends the run with the power-off check. A
     * retry wait ends and its entry is tried at once.
     */
    void StartDownload1Click();
    /** "停止下载": stops the browser, the transfer, both page timers and a retry wait. */
    void StopDownExecute();
    /**
     * Stops as "停止下载" does, for a program that ends: the entry whose transfer it cancels goes
     * back to the head of the queue, waiting, with what was fetched of it, instead of out of it.
     */
    void suspend();
    /**
     * Holds entry id back: a queued one stays where it is, paused; the one walked or fetched
     * stops and goes back to the head of the queue, paused, with what was fetched of it, and the
     * run goes on with the next entry. Answers false when id names no entry waiting, walked or
     * fetched.
     */
    bool pauseEntry(DownloadEntry::Id id);
    /** A paused entry waits again; answers false when id names none. */
    bool resumeEntry(DownloadEntry::Id id);
    /**
     * Takes entry id out as the user's removal: a walk or transfer of it stops, the run goes on
     * with the next entry, and nothing of its file is kept. Answers false when id names no entry
     * queued or fetched.
     */
    bool removeEntry(DownloadEntry::Id id);
    /** After a transfer: makes the new head current and opens it. */
    void DeleteURLExecute();
    // The download component's events, bound by the session. The entry whose file is on its way
    // leaves the queue at its start; at its end it is done, or a failure that may pass puts it
    // back at the head to be walked again after a wait, and any other, or one past the retry
    // budget, at the end of the queue, not opened again unasked (a start by the user retries
    // every such entry). Then the next entry is opened.
    void DownloadFile1Start();
    void DownloadFile1Progress(std::uint32_t receivedKiB, std::uint32_t totalKiB);
    void DownloadFile1Finish();
    /** From the start of a transfer until the flow has taken in its end. */
    bool transferRunning() const { return m_transferring; }
    /**
     * The entry whose file is being fetched: out of the queue while it runs, but not done; none
     * for a URL typed by hand.
     */
    const std::optional<DownloadEntry> &transferEntry() const { return m_transferEntry; }
    /**
     * Whether the flow waits for nothing: no timer or retry wait, no transfer, no page loading or
     * being read.
     */
    bool isAtRest() const;
    /** Whether nothing of the run is left: the queue empty, nothing loading, waiting or fetched. */
    bool runIsOver() const;

    QTimer &Timer1() { return m_timer1; }
    QTimer &Timer2() { return m_timer2; }
    RetryWait &retryWait() { return m_retryWait; }

    // The handlers of the browser's events and the page timers; public so that a front end or a
    // test can drive one tick or one page at a time.
    void WebBrowser1BeforeNavigate2();
    void WebBrowser1DocumentComplete(const QString &url);
    void WebBrowser1DownloadComplete();
    /** The walk's address answered with a file: it is fetched at once, as a countdown's file link is. */
    void WebBrowser1FileOffered(const QString &url, const QString &suggestedName);
    void Timer1Timer();
    void Timer2Timer();

signals:
    /** The transfer's file is on its way. */
    void transferStarted();
    /**
     * The entry whose file is fetched left the queue, or what its next try could continue became
     * known.
     */
    void transferEntryChanged();
    /** The transfer ended; what the flow makes of it follows. */
    void transferStopped();
    /** A transfer ended: its page URL, the file it saved to (or would have) and how it went. */
    void transferEnded(const QString &pageUrl, const QString &fileName, const TransferOutcome &outcome);
    /**
     * An entry is done, given up for now (it waits at the end of the queue), dropped, or out of
     * the queue because its transfer was stopped (removed).
     */
    void entryEnded(const DownloadEntry &entry);
    /** A page reported its file missing and its URL left the queue. */
    void urlDropped(const QString &pageUrl);
    /** The flow stopped at a URL that already failed in this run; a start tries it again. */
    void restingAtFailure(const QString &pageUrl);
    /** The entry of pageUrl failed for reason and will be walked again from its page after wait. */
    void retryScheduled(const QString &pageUrl, const QString &reason, std::chrono::seconds wait, int retry);
    /** The entry of pageUrl failed for good (for now) and went to the end of the queue. */
    void entryFailed(const QString &pageUrl, const QString &reason);
    /** The walk of pageUrl, begun on https, is led on over plain http to url; said once an entry. */
    void insecureConnection(const QString &pageUrl, const QString &url);
    /** Nothing more happens until someone acts; sent after the events of the moment, if still so. */
    void cameToRest(RestReason reason);

private:
    void Memo2Change();
    /** The reader for the pages of the entry at pageUrl: its host's layout, else the built-in one. */
    PageReader &readerFor(const QString &pageUrl);
    void DeleteURLError();

    /** Opens the current URL, or with none makes the power-off check; nothing while a transfer runs. */
    void startCurrent();
    /**
     * Opens the new head; one that already failed in this run gives way to the first entry not yet
     * tried, and with none left the flow rests there.
     */
    void startNextUnlessFailed();
    /** The first entry that has not failed in this run and is not paused, or -1. */
    int firstUntriedEntry() const;
    /** Whether the current URL is the head's and the head is paused. */
    bool currentIsPaused() const;
    /** Whether entry id is the one walked, on a page, a countdown or a retry wait. */
    bool isWalking(DownloadEntry::Id id) const;
    /** Ends the walk without a word of its own: the page, its timers, the retry wait. */
    void stopWalk();
    int failedEntriesQueued() const;
    /** Where the entry of the walk of pageUrl is now, or -1 when it has left the queue. */
    int walkedEntryIndex(const QString &pageUrl) const;
    /** A wait page was read: waits as long as the entry's retries allow, or gives the entry up. */
    void waitAsThePageSays();
    /** The walk is at url, a page it loaded or the file link it found. */
    void followScheme(const QString &url);
    /** The top document of the walk has loaded as url. */
    void followDocumentScheme(const QString &url);
    /** After the page's own document-complete: a page nobody acted on has failed. */
    void judgeLoadedPage(const QString &url);
    /** Answers whether the entry is tried again; if not, it failed and went to the queue's end. */
    bool retryOrGiveUp(const QString &pageUrl, const FailureCause &cause, EntryRetry::Budget budget);
    void giveUp(const QString &pageUrl, const FailureCause &cause);
    /** What the transfer's end means for its entry and the run. */
    void takeInTransferEnd(const QString &pageUrl, const TransferOutcome &outcome);
    /**
     * Puts the walked entry at index (0 or the end): moved there if queued, else the entry of the
     * transfer back, else a new one of pageUrl; answers its id.
     */
    DownloadQueue::EntryId bringBack(const QString &pageUrl, bool atEnd);
    /** Sets the state of the walked entry while it is queued. */
    void setWalkedState(DownloadEntry::State state);
    void discardPartial(const QString &pageUrl);
    void open(const QString &url);
    /**
     * Hands fileUrl to the download component, saved as offeredName (shortened to fit) in the save
     * folder, unless the walked entry's options name another folder or name.
     */
    void startTransfer(const QString &fileUrl, const QString &offeredName);
    /** Runs timer, Timer1 or Timer2, for the page just read, and stops the other. */
    void startPageTimer(QTimer &timer);
    void clearProgressFields();
    void showRemaining(int panel);
    template <typename Handler> void guarded(Handler handler);
    /** Says cameToRest(reason) once the events now waiting are handled, if the flow is at rest then. */
    void announceRest(RestReason reason);
    void sendPendingRest(quint64 check);

    Parts m;
    BrowserPageAccess m_pageAccess;
    BuiltInPageReader m_builtInReader;
    LayoutPageReader m_layoutReader;
    QTimer m_timer1;
    QTimer m_timer2;
    EntryRetry m_retry;
    RetryWait m_retryWait;
    // The queue entry the walk is for; none for a URL typed by hand.
    std::optional<DownloadQueue::EntryId> m_entry;
    QSet<DownloadQueue::EntryId> m_failedEntries; // in this run, since the last start
    QHash<QString, QString> m_targets; // page URL -> the file its last transfer went to
    // Some step of the dispatch acted on the page loaded since the last navigation.
    bool m_pageRecognised = false;
    int m_freeUserPresses = 0; // in the walk begun by the last open()
    bool m_walkOnHttps = false; // in the walk begun by the last open()
    QString m_insecureNoticeFor; // the page URL whose walk has said it left https
    bool m_loading = false;
    // From the request to the component (or its start, for one asked for elsewhere) until its
    // end is taken in.
    bool m_transferring = false;
    // The entry whose file is fetched, out of the queue since the transfer started.
    std::optional<DownloadEntry> m_transferEntry;
    QString m_transferPageUrl;
    ShutdownSwitch::RunEnd m_runEnd = ShutdownSwitch::RunEnd::NothingQueued;
    bool m_reading = false;
    // Since suspend(), until the next start: a cancelled transfer's entry stays in the queue.
    bool m_suspending = false;
    /** What a cancelled transfer's entry becomes when the cancel was asked for it alone. */
    std::optional<DownloadEntry::State> m_cancelledEntryState;
    std::optional<RestReason> m_pendingRest;
    quint64 m_restCheck = 0;
};
