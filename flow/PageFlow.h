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
 * reads each loaded page through the scanners, presses "Free user", counts the countdown down
 * and hands the file URL to the download component, waits and retries on wait pages, and drops
 * URLs whose file is missing. Its state is in the marks it shares with the transfer display: the
 * timers, the transfer-running Tag, the queue and the current URL.
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
    /** After a transfer: makes the new head current and opens it. */
    void DeleteURLExecute();
    /**
     * The transfer for pageUrl ended, before DeleteURLExecute. A failure that may pass puts the
     * entry back at the head to be walked again after a wait; any other, or one past the retry
     * budget, goes back to the end of the queue and is not opened again unasked (a start by the
     * user retries every such entry).
     */
    void transferEnded(const QString &pageUrl, const TransferOutcome &outcome);
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
    void Timer1Timer();
    void Timer2Timer();

signals:
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
    /** The first entry that has not failed in this run, or -1. */
    int firstUntriedEntry() const;
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
    void giveUp(const QString &pageUrl, const QString &reason);
    void discardPartial(const QString &pageUrl);
    void open(const QString &url);
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
    // From the timer's start of a transfer to its end, before the component's start notification
    // sets the Tag.
    bool m_transferRequested = false;
    ShutdownSwitch::RunEnd m_runEnd = ShutdownSwitch::RunEnd::NothingQueued;
    bool m_reading = false;
    std::optional<RestReason> m_pendingRest;
    quint64 m_restCheck = 0;
};
