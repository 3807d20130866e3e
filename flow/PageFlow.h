// SPDX-License-Identifier: MIT
#pragma once

#include "automation/BrowserPageAccess.h"
#include "automation/PageScanners.h"
#include "flow/RestReason.h"

#include <QObject>
#include <QHash>
#include <QString>
#include <QTimer>

#include <optional>

class Clock;
class DownloadQueue;
class FlowView;
class PageBrowser;
class PageTextBuffer;
class ShutdownSwitch;
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
    };

    explicit PageFlow(Parts parts, QObject *parent = nullptr);

    /** "开始下载": opens the current URL, or with none ends the run with the power-off check. */
    void StartDownload1Click();
    /** "停止下载": stops the browser, the transfer and both page timers. */
    void StopDownExecute();
    /** After a transfer: makes the new head current and opens it. */
    void DeleteURLExecute();
    /**
     * A failed transfer's page URL goes back to the end of the queue and is not opened again
     * unasked; fileName is what the status bar shows when the flow stops at it.
     */
    void rememberFailure(const QString &pageUrl, const QString &fileName);
    /** Whether the flow waits for nothing: no timer, no transfer, no page loading or being read. */
    bool isAtRest() const;

    QTimer &Timer1() { return m_timer1; }
    QTimer &Timer2() { return m_timer2; }

    // The handlers of the browser's events and the page timers; public so that a front end or a
    // test can drive one tick or one page at a time.
    void WebBrowser1BeforeNavigate2();
    void WebBrowser1DocumentComplete();
    void WebBrowser1DownloadComplete();
    void Timer1Timer();
    void Timer2Timer();

signals:
    /** A page reported its file missing and its URL left the queue. */
    void urlDropped(const QString &pageUrl);
    /** The flow stopped at a URL that already failed in this run; a start tries it again. */
    void restingAtFailure(const QString &pageUrl);
    /** Nothing more happens until someone acts; sent after the events of the moment, if still so. */
    void cameToRest(RestReason reason);

private:
    void Memo2Change();
    void DeleteURLError();

    /** Opens the current URL, or with none makes the power-off check; nothing while a transfer runs. */
    void startCurrent();
    /** Opens the new head unless it already failed in this run; then the flow rests there. */
    void startNextUnlessFailed();
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
    PageScanners m_scanners;
    QTimer m_timer1;
    QTimer m_timer2;
    QHash<QString, QString> m_failedUrls; // page URL -> file name
    bool m_loading = false;
    bool m_reading = false;
    std::optional<RestReason> m_pendingRest;
    quint64 m_restCheck = 0;
};
