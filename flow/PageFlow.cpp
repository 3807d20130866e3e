// SPDX-License-Identifier: MIT
#include "flow/PageFlow.h"

#include "automation/Clock.h"
#include "automation/MainUnitState.h"
#include "automation/PageBrowser.h"
#include "automation/PageTextBuffer.h"
#include "common/QuorvelError.h"
#include "flow/FlowView.h"
#include "flow/StatusTexts.h"
#include "flow/TargetPath.h"
#include "flow/WaitTime.h"
#include "power/ShutdownSwitch.h"
#include "queue/DownloadQueue.h"
#include "transfer/TDownloadFile.h"

#include <QScopeGuard>

#include <utility>

PageFlow::PageFlow(Parts parts, QObject *parent)
    : QObject(parent)
    , m(std::move(parts))
    , m_pageAccess(m.browser, m.buffer)
    , m_scanners(m.buffer, m.state, m.clock)
{
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer2.setObjectName(QStringLiteral("Timer2"));
    for (QTimer *timer : {&m_timer1, &m_timer2}) {
        timer->setParent(this);
        timer->setInterval(1000);
    }
    connect(&m_timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });
    connect(&m_timer2, &QTimer::timeout, this, [this] { guarded([this] { Timer2Timer(); }); });
    connect(&m.browser, &PageBrowser::beforeNavigate, this, &PageFlow::WebBrowser1BeforeNavigate2);
    connect(&m.browser, &PageBrowser::documentComplete, this,
            [this] { guarded([this] { WebBrowser1DocumentComplete(); }); });
    connect(&m.browser, &PageBrowser::downloadComplete, this, &PageFlow::WebBrowser1DownloadComplete);
    m.buffer.setOnChange([this] { Memo2Change(); });
}

void PageFlow::StartDownload1Click()
{
    // Asked for by the user: a URL that failed before gets another chance.
    if (m.download.Tag() == 0)
        m_failedUrls.remove(m.queue.currentUrl());
    startCurrent();
}

void PageFlow::startCurrent()
{
    // Never open a page, nor power off, while a file is being fetched.
    if (m.download.Tag() != 0)
        return;
    if (m.queue.currentUrl().isEmpty()) {
        m.shutdown.CheckShutDown();
        announceRest(RestReason::QueueDone);
        return;
    }
    open(m.queue.currentUrl());
}

void PageFlow::open(const QString &url)
{
    m.state.PageUrl = url;
    m_loading = true;
    m.browser.navigate(url);
}

void PageFlow::StopDownExecute()
{
    m.browser.stop();
    m_loading = false;
    m.download.Stop();
    m_timer1.stop();
    m_timer2.stop();
    m.view.clearStatus();
    announceRest(RestReason::Stopped);
}

void PageFlow::WebBrowser1BeforeNavigate2()
{
    m_loading = true;
    m.buffer.clear();
}

void PageFlow::WebBrowser1DocumentComplete()
{
    {
        // The read pumps events; a rest check that arrives meanwhile must not take the page
        // that is still unread for one that asks for nothing.
        m_reading = true;
        const auto readDone = qScopeGuard([this] { m_reading = false; });
        m_pageAccess.BrowserInfo();
    }
    m.state.MarkerFound = 0;
    // A page that asked for something has started a timer, a transfer or a navigation by the
    // time the check runs; one that matched nothing leaves the flow at rest.
    announceRest(RestReason::UnrecognisedPage);
}

void PageFlow::WebBrowser1DownloadComplete()
{
    m_loading = false;
}

void PageFlow::Memo2Change()
{
    if (m.state.MarkerFound == 0 && m_scanners.FindError() == PageAction::DeleteURLError)
        DeleteURLError();
    if (m.state.MarkerFound == 0 && m_scanners.FindWait() == PageAction::StartRetryWait)
        startPageTimer(m_timer2);
    if (m.state.MarkerFound == 0 && m_scanners.FindStill() == PageAction::StartCountdown)
        startPageTimer(m_timer1);
    if (m.state.MarkerFound == 0 && m_scanners.FindAbout() == PageAction::StartRetryWait)
        startPageTimer(m_timer2);
    if (m.state.MarkerFound == 0)
        BrowserPageAccess::FillForm(m.browser, QStringLiteral("Free user"));
}

void PageFlow::startPageTimer(QTimer &timer)
{
    // The page just read says what to wait for. A wait or countdown of an earlier page, left
    // running by a start during it, would count down the new page's time under its own status
    // text and, at its end, open the page again in the middle of the countdown.
    m_timer1.stop();
    m_timer2.stop();
    timer.start();
}

void PageFlow::Timer1Timer()
{
    m.state.SaveFolder = m.view.saveFolder();
    m.view.showStatus(0, StatusTexts::nextDownloadStarts);
    showRemaining(1);
    m.view.setStatusText(2, QString());
    if (!waitIsOver(m.state.StartTime, m.state.WaitDuration, m.clock.timeOfDay()))
        return;
    m.download.setUrlToDownload(m.state.FinalUrl);
    m.download.setFileName(targetPath(m.state.SaveFolder, fileNameFromUrl(m.state.FinalUrl),
                                      m.defaultFolder));
    m.download.Start();
    m_timer1.stop();
    m.view.clearStatus();
}

void PageFlow::Timer2Timer()
{
    m.view.showStatus(0, StatusTexts::youMustWait);
    showRemaining(1);
    m.view.showStatus(2, StatusTexts::nextDownload);
    if (!waitIsOver(m.state.StartTime, m.state.WaitDuration, m.clock.timeOfDay()))
        return;
    startCurrent();
    m_timer2.stop();
    m.view.clearStatus();
    m.state.MarkerFound = 0;
}

void PageFlow::showRemaining(int panel)
{
    const double remaining =
        m.state.WaitDuration - elapsedSince(m.state.StartTime, m.clock.timeOfDay());
    m.state.RemainingText = remainingTimeText(remaining);
    m.view.setStatusText(panel, m.state.RemainingText);
}

void PageFlow::DeleteURLExecute()
{
    if (m.queue.count() > 0)
        m.queue.setCurrentUrl(m.queue.head());
    clearProgressFields();
    m.download.setTag(0);
    startNextUnlessFailed();
}

void PageFlow::DeleteURLError()
{
    const QString dropped = m.queue.count() > 0 ? m.queue.head() : m.state.PageUrl;
    if (m.queue.count() > 0)
        m.queue.removeHead();
    emit urlDropped(dropped);
    if (m.queue.count() == 0) {
        m.queue.setCurrentUrl(QString());
        m.view.showStatus(0, StatusTexts::checkDownloadLink);
        announceRest(RestReason::QueueDone);
        return;
    }
    m.queue.setCurrentUrl(m.queue.head());
    clearProgressFields();
    m.browser.stop();
    m.download.Stop();
    startNextUnlessFailed();
    m.state.MarkerFound = 1;
}

void PageFlow::startNextUnlessFailed()
{
    const QString next = m.queue.currentUrl();
    if (!next.isEmpty() && m_failedUrls.contains(next)) {
        m.view.showStatus(0, StatusTexts::downloadFailed);
        m.view.showStatus(2, StatusTexts::fileName(m_failedUrls.value(next)));
        emit restingAtFailure(next);
        announceRest(RestReason::RestingAtFailure);
        return;
    }
    startCurrent();
}

void PageFlow::rememberFailure(const QString &pageUrl, const QString &fileName)
{
    m_failedUrls.insert(pageUrl, fileName);
    m.queue.append(pageUrl);
}

bool PageFlow::isAtRest() const
{
    return !m_loading && !m_reading && !m_timer1.isActive() && !m_timer2.isActive() && m.download.Tag() == 0
        && !m.download.Busy();
}

void PageFlow::clearProgressFields()
{
    m.view.setField(FlowView::Field::Size, QString());
    m.view.setField(FlowView::Field::Completed, QString());
    m.view.setField(FlowView::Field::Percent, QString());
}

void PageFlow::announceRest(RestReason reason)
{
    // Every page read announces "nothing recognised"; a more telling reason of the same moment wins.
    if (!m_pendingRest || *m_pendingRest == RestReason::UnrecognisedPage)
        m_pendingRest = reason;
    // Only the latest check counts: an earlier one may sit in the queue before a page that has
    // since loaded, and would run before the navigation that page's handling began is announced.
    const quint64 check = ++m_restCheck;
    QMetaObject::invokeMethod(this, [this, check] { sendPendingRest(check); }, Qt::QueuedConnection);
}

void PageFlow::sendPendingRest(quint64 check)
{
    // Inside a page read: the read announces again when it ends, and the reason waits for it.
    if (check != m_restCheck || m_reading)
        return;
    const std::optional<RestReason> reason = std::exchange(m_pendingRest, std::nullopt);
    if (reason && isAtRest())
        emit cameToRest(*reason);
}

template <typename Handler> void PageFlow::guarded(Handler handler)
{
    try {
        handler();
    } catch (const QuorvelError &error) {
        m.view.showError(error.message());
    } catch (const std::exception &error) {
        m.view.showError(QString::fromUtf8(error.what()));
    }
}
