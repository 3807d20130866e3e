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
#include "layout/HostLayouts.h"
#include "power/ShutdownSwitch.h"
#include "queue/DownloadQueue.h"
#include "transfer/TDownloadFile.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QUrl>

#include <utility>

PageFlow::PageFlow(Parts parts, QObject *parent)
    : QObject(parent)
    , m(std::move(parts))
    , m_pageAccess(m.browser, m.buffer)
    , m_builtInReader(m.buffer, m.state, m.clock)
    , m_layoutReader(m.buffer, m.state, m.clock, m.browser)
    , m_retry(m.retryBudget)
    , m_retryWait(m.clock, m.view)
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
            [this](const QString &url) { guarded([this, url] { WebBrowser1DocumentComplete(url); }); });
    m_retryWait.setParent(this);
    connect(&m_retryWait, &RetryWait::over, this, [this] {
        guarded([this] {
            // A fresh walk from the entry's page: its file link may have expired.
            m.state.MarkerFound = 0;
            startCurrent();
        });
    });
    connect(&m.browser, &PageBrowser::downloadComplete, this, &PageFlow::WebBrowser1DownloadComplete);
    connect(&m.browser, &PageBrowser::fileOffered, this, [this](const QString &url, const QString &suggestedName) {
        guarded([this, url, suggestedName] { WebBrowser1FileOffered(url, suggestedName); });
    });
    m.buffer.setOnChange([this] { Memo2Change(); });
}

void PageFlow::StartDownload1Click()
{
    // Asked for by the user: every URL that failed before gets another chance, not only the one
    // the run rests at, or each would need its own press.
    if (!transferRunning()) {
        m_suspending = false;
        m_failedEntries.clear();
        m_runEnd = ShutdownSwitch::RunEnd::NothingQueued;
        // Tried at once, and with a whole budget should it fail again.
        m_retryWait.stop();
        m_retry.forget();
    }
    startCurrent();
}

void PageFlow::startCurrent()
{
    // Never open a page, nor power off, while a file is being fetched.
    if (transferRunning())
        return;
    if (m.queue.currentUrl().isEmpty()) {
        m.shutdown.CheckShutDown(m_runEnd);
        announceRest(RestReason::QueueDone);
        return;
    }
    if (currentIsPaused()) {
        const int next = firstUntriedEntry();
        if (next < 0) {
            // Only held entries are left: they wait for the user, not for a power-off.
            announceRest(RestReason::QueueDone);
            return;
        }
        m.queue.move(next, 0);
        m.queue.setCurrentUrl(m.queue.head());
    }
    open(m.queue.currentUrl());
}

bool PageFlow::currentIsPaused() const
{
    return m.queue.count() > 0 && m.queue.currentUrl() == m.queue.head()
        && m.queue.entry(0).state == DownloadEntry::State::Paused;
}

bool PageFlow::isWalking(DownloadEntry::Id id) const
{
    return m_entry == id && !transferRunning() && !isAtRest();
}

void PageFlow::stopWalk()
{
    m.browser.stop();
    m_loading = false;
    m_timer1.stop();
    m_timer2.stop();
    m_retryWait.stop();
    m_retry.forget();
    m.view.clearStatus();
}

bool PageFlow::pauseEntry(DownloadEntry::Id id)
{
    if (m_transferEntry && m_transferEntry->id == id) {
        m_cancelledEntryState = DownloadEntry::State::Paused;
        m.download.Stop();
        return true;
    }
    const int index = m.queue.indexOf(id);
    if (index < 0)
        return false;
    const bool walking = isWalking(id);
    if (!walking && m.queue.entry(index).state != DownloadEntry::State::Waiting)
        return false;
    if (walking)
        stopWalk();
    m.queue.edit(id, [](DownloadEntry &entry) { entry.state = DownloadEntry::State::Paused; });
    if (walking)
        DeleteURLExecute();
    return true;
}

bool PageFlow::resumeEntry(DownloadEntry::Id id)
{
    const int index = m.queue.indexOf(id);
    if (index < 0 || m.queue.entry(index).state != DownloadEntry::State::Paused)
        return false;
    m.queue.edit(id, [](DownloadEntry &entry) { entry.state = DownloadEntry::State::Waiting; });
    return true;
}

bool PageFlow::removeEntry(DownloadEntry::Id id)
{
    if (m_transferEntry && m_transferEntry->id == id) {
        m_cancelledEntryState = DownloadEntry::State::Removed;
        m.download.Stop();
        return true;
    }
    const bool walking = isWalking(id);
    if (walking)
        stopWalk();
    if (!m.queue.discard(id))
        return false;
    if (walking) {
        // The file of the walk is nobody's now.
        discardPartial(m.state.PageUrl);
        DeleteURLExecute();
    }
    return true;
}

void PageFlow::open(const QString &url)
{
    // The current URL is the head's unless it was typed by hand.
    m_entry.reset();
    if (m.queue.count() > 0 && m.queue.head() == url)
        m_entry = m.queue.idAt(0);
    setWalkedState(DownloadEntry::State::Active);
    if (url != m_insecureNoticeFor)
        m_insecureNoticeFor.clear();
    m.state.PageUrl = url;
    m_freeUserPresses = 0;
    m_walkOnHttps = false;
    followScheme(url);
    m_loading = true;
    m_runEnd = ShutdownSwitch::RunEnd::NothingQueued;
    m.shutdown.workStarted();
    m.browser.navigate(url);
}

void PageFlow::suspend()
{
    m_suspending = true;
    StopDownExecute();
}

void PageFlow::StopDownExecute()
{
    m.browser.stop();
    m_loading = false;
    m.download.Stop();
    m_timer1.stop();
    m_timer2.stop();
    m_retryWait.stop();
    m.view.clearStatus();
    setWalkedState(DownloadEntry::State::Waiting);
    announceRest(RestReason::Stopped);
}

void PageFlow::WebBrowser1BeforeNavigate2()
{
    m_loading = true;
    m_pageRecognised = false;
    m.buffer.clear();
}

void PageFlow::WebBrowser1DocumentComplete(const QString &url)
{
    {
        // The read pumps events; a rest check that arrives meanwhile must not take the page
        // that is still unread for one that asks for nothing.
        m_reading = true;
        const auto readDone = qScopeGuard([this] { m_reading = false; });
        followDocumentScheme(url);
        m_pageAccess.BrowserInfo();
    }
    m.state.MarkerFound = 0;
    judgeLoadedPage(url);
    // A page that asked for something has started a timer, a retry wait, a transfer or a
    // navigation by the time the check runs; one that matched nothing leaves the flow at rest.
    announceRest(RestReason::UnrecognisedPage);
}

void PageFlow::judgeLoadedPage(const QString &url)
{
    // Only a page opened for an entry, and only once the page itself is in: its frames report
    // before it does.
    if (m_pageRecognised || m.state.PageUrl.isEmpty() || m_loading || transferRunning())
        return;
    std::shared_ptr<PageDocument> document;
    try {
        document = m.browser.document();
    } catch (const QuorvelError &) {
        return;
    }
    if (document->url() != url)
        return;
    // An error status whose text a reader recognised was read as usual above; anything else
    // would leave the run waiting at this entry for ever.
    const std::optional<FailureCause> failure = document->loadFailure();
    const FailureCause cause = failure.value_or(FailureCause::transient(QStringLiteral("页面无法识别")));
    if (!retryOrGiveUp(m.state.PageUrl, cause, failure ? EntryRetry::Budget::Full : EntryRetry::Budget::Short))
        DeleteURLExecute();
}

void PageFlow::followDocumentScheme(const QString &url)
{
    if (m.state.PageUrl.isEmpty())
        return;
    try {
        // Frames report before their page does; only the page itself is where the walk is.
        if (m.browser.document()->url() == url)
            followScheme(url);
    } catch (const QuorvelError &) {
    }
}

void PageFlow::followScheme(const QString &url)
{
    const QString scheme = QUrl(url).scheme().toLower();
    if (scheme == QLatin1String("https")) {
        m_walkOnHttps = true;
        return;
    }
    // Hosts do send their visitors on from https to http; followed, but not without a word.
    if (scheme != QLatin1String("http") || !m_walkOnHttps || m_insecureNoticeFor == m.state.PageUrl)
        return;
    m_insecureNoticeFor = m.state.PageUrl;
    m.view.showStatus(2, StatusTexts::reason(insecureConnectionText()));
    emit insecureConnection(m.state.PageUrl, url);
}

void PageFlow::WebBrowser1DownloadComplete()
{
    m_loading = false;
}

void PageFlow::Memo2Change()
{
    PageReader &reader = readerFor(m.state.PageUrl);
    if (m.state.MarkerFound == 0 && reader.findMissing() == PageAction::DeleteURLError)
        DeleteURLError();
    if (m.state.MarkerFound == 0 && reader.findWait() == PageAction::StartRetryWait)
        waitAsThePageSays();
    if (m.state.MarkerFound == 0 && reader.findCountdown() == PageAction::StartCountdown) {
        followScheme(m.state.FinalUrl);
        startPageTimer(m_timer1);
    }
    if (m.state.MarkerFound == 0 && reader.findAbout() == PageAction::StartRetryWait)
        waitAsThePageSays();
    // A walk whose press only ever leads to another one (a form that posts to itself) would send
    // requests for ever: past a few presses the page counts as one nobody recognises.
    if (m.state.MarkerFound == 0 && m_freeUserPresses < maxFreeUserPresses
        && reader.press(m.browser, m_freeUserPresses)) {
        ++m_freeUserPresses;
        m_pageRecognised = true;
    }
}

void PageFlow::waitAsThePageSays()
{
    // A late frame's wait page belongs to no entry; its wait opens whatever is current then.
    if (m.state.PageUrl.isEmpty()) {
        startPageTimer(m_timer2);
        return;
    }
    const auto asked = std::chrono::seconds(std::llround(m.state.WaitDuration * 86'400));
    const EntryRetry::Decision decision = m_retry.waitPage(m.state.PageUrl, asked, m.clock.timeOfDay());
    if (!decision.wait) {
        m_pageRecognised = true;
        m_timer1.stop();
        m_timer2.stop();
        giveUp(m.state.PageUrl, decision.cause);
        DeleteURLExecute();
        return;
    }
    m.state.WaitDuration = double(decision.wait->count()) / 86'400.0;
    startPageTimer(m_timer2);
}

PageReader &PageFlow::readerFor(const QString &pageUrl)
{
    const HostLayout *layout = m.layouts ? m.layouts->forUrl(pageUrl) : nullptr;
    if (!layout)
        return m_builtInReader;
    m_layoutReader.use(*layout);
    return m_layoutReader;
}

void PageFlow::startPageTimer(QTimer &timer)
{
    // The page just read says what to wait for. A wait or countdown of an earlier page, left
    // running by a start during it, would count down the new page's time under its own status
    // text and, at its end, open the page again in the middle of the countdown.
    m_timer1.stop();
    m_timer2.stop();
    m_retryWait.stop();
    timer.start();
    m_pageRecognised = true;
    m.shutdown.workStarted();
}

void PageFlow::Timer1Timer()
{
    m.state.SaveFolder = m.view.saveFolder();
    m.view.showStatus(0, StatusTexts::nextDownloadStarts);
    showRemaining(1);
    if (m_insecureNoticeFor == m.state.PageUrl)
        m.view.showStatus(2, StatusTexts::reason(insecureConnectionText()));
    else
        m.view.setStatusText(2, QString());
    if (!waitIsOver(m.state.StartTime, m.state.WaitDuration, m.clock.timeOfDay()))
        return;
    startTransfer(m.state.FinalUrl, fileNameFromUrl(m.state.FinalUrl));
    m_timer1.stop();
    m.view.clearStatus();
}

void PageFlow::WebBrowser1FileOffered(const QString &url, const QString &suggestedName)
{
    // Only the walk of an entry fetches; a late answer of a walk that was stopped does not.
    if (m.state.PageUrl.isEmpty() || transferRunning())
        return;
    m_loading = false;
    m_pageRecognised = true;
    // The address is the file: nothing of an earlier page of the walk is waited for any more.
    m_timer1.stop();
    m_timer2.stop();
    followScheme(url);
    m.state.FinalUrl = url;
    m.state.SaveFolder = m.view.saveFolder();
    startTransfer(url, fileNameFromOffer(suggestedName, url));
    m.view.clearStatus();
}

void PageFlow::startTransfer(const QString &fileUrl, const QString &offeredName)
{
    m.download.setUrlToDownload(fileUrl);
    // An entry may name its own folder (one inside the save folder, checked where it was given)
    // and file name.
    const int index = m_entry ? m.queue.indexOf(*m_entry) : -1;
    const QMap<QString, QString> options = index >= 0 ? m.queue.entry(index).options : QMap<QString, QString>();
    const QString chosenFolder = options.value(QStringLiteral("dir"), m.state.SaveFolder);
    const QString fileName = options.contains(QStringLiteral("out"))
        ? fileNameFromOffer(options.value(QStringLiteral("out")), fileUrl)
        : offeredName;
    const QString folder = chosenFolder.isEmpty() ? m.defaultFolder : chosenFolder;
    const QString name = fitFileName(fileName, m.download.maxFileNameBytes(folder));
    m.download.setFileName(targetPath(chosenFolder, name, m.defaultFolder));
    // Read anew for every transfer: the component outlives the entry, and a URL typed by hand
    // (no entry of its own) must not inherit the last entry's digest.
    m.download.setChecksum(index >= 0 ? FileChecksum::parse(options.value(FileChecksum::optionKey)) : std::nullopt);
    m.download.Start();
    m_transferring = m.download.Busy();
}

void PageFlow::Timer2Timer()
{
    m.view.showStatus(0, StatusTexts::youMustWait);
    showRemaining(1);
    m.view.showStatus(2, StatusTexts::nextDownload);
    if (!waitIsOver(m.state.StartTime, m.state.WaitDuration, m.clock.timeOfDay()))
        return;
    // Off before the start: with the queue cleared during the wait, the start's power-off check
    // must find nothing running.
    m_timer2.stop();
    startCurrent();
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
    startNextUnlessFailed();
}

void PageFlow::DeleteURLError()
{
    // The page that reports its file missing is the one opened for PageUrl. The head is another
    // entry when the URL was typed by hand or the queue was reordered meanwhile, and it stays.
    const QString dropped = m.state.PageUrl;
    m_pageRecognised = true;
    if (const int index = walkedEntryIndex(dropped); index >= 0) {
        DownloadEntry entry = m.queue.takeAt(index);
        entry.state = DownloadEntry::State::Dropped;
        entry.finished = QDateTime::currentDateTimeUtc();
        if (entry.part)
            m.download.discardPartial(std::exchange(entry.part, std::nullopt)->target);
        emit entryEnded(entry);
    }
    m_retry.forget();
    discardPartial(dropped);
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
    // The entry waiting to be tried again is the next; its wait opens it.
    if (m_retryWait.isActive())
        return;
    const QString next = m.queue.currentUrl();
    if (!next.isEmpty() && m.queue.count() > 0 && next == m.queue.head()
        && (m_failedEntries.contains(m.queue.idAt(0)) || currentIsPaused())) {
        // Entries listed twice, or moved up by hand, may have left untried ones behind a failure.
        if (const int untried = firstUntriedEntry(); untried > 0) {
            m.queue.move(untried, 0);
            m.queue.setCurrentUrl(m.queue.head());
            startCurrent();
            return;
        }
        if (failedEntriesQueued() == 0) {
            startCurrent(); // with only paused entries left, it rests
            return;
        }
        // Every entry the run could go on with has failed: say how many, and that a start
        // tries them again, rather than show the head as if it had just failed.
        m.view.showStatus(0, StatusTexts::restingAtFailures(failedEntriesQueued()));
        m.view.setStatusText(1, QString());
        emit restingAtFailure(next);
        announceRest(RestReason::RestingAtFailure);
        return;
    }
    startCurrent();
}

int PageFlow::firstUntriedEntry() const
{
    for (int i = 0; i < m.queue.count(); ++i) {
        const DownloadEntry &entry = m.queue.entry(i);
        if (!m_failedEntries.contains(entry.id) && entry.state != DownloadEntry::State::Paused)
            return i;
    }
    return -1;
}

int PageFlow::failedEntriesQueued() const
{
    int failed = 0;
    for (int i = 0; i < m.queue.count(); ++i)
        failed += m_failedEntries.contains(m.queue.idAt(i)) ? 1 : 0;
    return failed;
}

int PageFlow::walkedEntryIndex(const QString &pageUrl) const
{
    // A URL typed by hand has no entry of its own; one of the same text stands for it.
    return m_entry ? m.queue.indexOf(*m_entry) : m.queue.indexOfUrl(pageUrl);
}

void PageFlow::DownloadFile1Start()
{
    m_transferring = true;
    m_transferPageUrl = m.state.PageUrl;
    m_transferEntry.reset();
    // The entry whose file is now on its way leaves the queue: the walked one wherever the user
    // moved it meanwhile, not the first of the same text; none when the user deleted it.
    if (const int index = walkedEntryIndex(m_transferPageUrl); index >= 0) {
        m_transferEntry = m.queue.takeAt(index);
        m_transferEntry->state = DownloadEntry::State::Active;
        emit transferEntryChanged();
    }
    m.shutdown.workStarted();
    emit transferStarted();
}

void PageFlow::DownloadFile1Progress(std::uint32_t receivedKiB, std::uint32_t totalKiB)
{
    if (!m_transferEntry)
        return;
    m_transferEntry->receivedBytes = qint64(receivedKiB) * 1024;
    m_transferEntry->sizeBytes = totalKiB == 0 ? -1 : qint64(totalKiB) * 1024;
    m_transferEntry->fileName = m.download.savedFileName();
    if (m_transferEntry->part != m.download.resumablePart()) {
        m_transferEntry->part = m.download.resumablePart();
        emit transferEntryChanged();
    }
}

void PageFlow::DownloadFile1Finish()
{
    m_transferring = false;
    emit transferStopped();
    m.queue.setCurrentUrl(QString());
    m.state.MarkerFound = 0;
    m.state.ElapsedSeconds = 0;
    const QString pageUrl = m_transferPageUrl;
    const TransferOutcome outcome = m.download.lastOutcome().value_or(TransferOutcome::failed(QString()));
    if (m_transferEntry)
        m_transferEntry->fileName = m.download.savedFileName();
    if (!outcome.finalUrl.isEmpty())
        followScheme(outcome.finalUrl);
    // A failure is shown here, where it is decided whether the entry is tried again.
    takeInTransferEnd(pageUrl, outcome);
    m_transferEntry.reset();
    m_cancelledEntryState.reset();
    emit transferEnded(pageUrl, m.download.savedFileName(), outcome);
    // With the queue empty, this makes the power-off check.
    DeleteURLExecute();
    if (m.queue.count() == 0)
        m.view.showStatus(0, StatusTexts::noMoreUrls);
}

void PageFlow::takeInTransferEnd(const QString &pageUrl, const TransferOutcome &outcome)
{
    m_targets.insert(pageUrl, m.download.FileName());
    switch (outcome.kind) {
    case TransferOutcome::Kind::Done:
        m_runEnd = ShutdownSwitch::RunEnd::DownloadsCompleted;
        m_retry.forget();
        m_targets.remove(pageUrl);
        if (m_transferEntry) {
            // Progress counts in KiB; what is recorded and reported of a finished file is its
            // length to the byte.
            if (const QFileInfo file(m.download.FileName()); file.exists()) {
                m_transferEntry->sizeBytes = file.size();
                m_transferEntry->receivedBytes = file.size();
            }
            m_transferEntry->part.reset();
            m_transferEntry->state = DownloadEntry::State::Done;
            m_transferEntry->finished = QDateTime::currentDateTimeUtc();
            emit entryEnded(*m_transferEntry);
        }
        break;
    case TransferOutcome::Kind::Cancelled:
        // Stopped by the user: the entry stays out of the queue, as it left it at the start.
        m_runEnd = ShutdownSwitch::RunEnd::DownloadStopped;
        if (m_transferEntry && m_cancelledEntryState == DownloadEntry::State::Paused) {
            const DownloadQueue::EntryId id = bringBack(pageUrl, false);
            m.queue.edit(id, [](DownloadEntry &entry) { entry.state = DownloadEntry::State::Paused; });
        } else if (m_transferEntry && m_cancelledEntryState == DownloadEntry::State::Removed) {
            // Its part is the transfer's target's, which the user wants gone with the entry.
            discardPartial(pageUrl);
            m_transferEntry->part.reset();
            m_transferEntry->state = DownloadEntry::State::Removed;
            m_transferEntry->finished = QDateTime::currentDateTimeUtc();
            emit entryEnded(*m_transferEntry);
        } else if (m_transferEntry && m_suspending) {
            const DownloadQueue::EntryId id = bringBack(pageUrl, false);
            m.queue.edit(id, [](DownloadEntry &entry) { entry.state = DownloadEntry::State::Waiting; });
        } else if (m_transferEntry) {
            m_transferEntry->state = DownloadEntry::State::Removed;
            m_transferEntry->finished = QDateTime::currentDateTimeUtc();
            emit entryEnded(*m_transferEntry);
        }
        break;
    case TransferOutcome::Kind::Failed:
        retryOrGiveUp(pageUrl, outcome.cause, EntryRetry::Budget::Full);
        break;
    }
}

DownloadQueue::EntryId PageFlow::bringBack(const QString &pageUrl, bool atEnd)
{
    const int index = walkedEntryIndex(pageUrl);
    if (m_transferEntry)
        m.queue.insert(atEnd ? m.queue.count() : 0, *std::exchange(m_transferEntry, std::nullopt));
    else if (index >= 0)
        m.queue.move(index, atEnd ? m.queue.count() - 1 : 0);
    else if (atEnd)
        m.queue.append(pageUrl);
    else
        m.queue.prepend(pageUrl);
    m_entry = m.queue.idAt(atEnd ? m.queue.count() - 1 : 0);
    return *m_entry;
}

void PageFlow::setWalkedState(DownloadEntry::State state)
{
    if (m_entry)
        m.queue.edit(*m_entry, [state](DownloadEntry &entry) { entry.state = state; });
}

bool PageFlow::retryOrGiveUp(const QString &pageUrl, const FailureCause &cause, EntryRetry::Budget budget)
{
    const EntryRetry::Decision decision = m_retry.failed(pageUrl, cause, budget, m.clock.timeOfDay());
    if (!decision.wait) {
        giveUp(pageUrl, decision.cause);
        return false;
    }
    // At the head, where it was or where its started transfer took it from, and current: the wait
    // opens it, and a start during the wait tries it at once.
    const DownloadQueue::EntryId id = bringBack(pageUrl, false);
    m.queue.edit(id, [&decision](DownloadEntry &entry) {
        entry.state = DownloadEntry::State::Waiting;
        entry.lastFailure = decision.cause;
    });
    m.queue.setCurrentUrl(pageUrl);
    m_timer1.stop();
    m_timer2.stop();
    m.shutdown.workStarted();
    m_retryWait.start(*decision.wait, decision.cause.reason);
    emit retryScheduled(pageUrl, decision.cause.reason, *decision.wait, decision.retry);
    return true;
}

void PageFlow::giveUp(const QString &pageUrl, const FailureCause &cause)
{
    // Not finished: its page goes back to the end of the queue, and nothing of it is kept.
    m_retry.forget();
    // Its own entry, not the first of the same text: a URL listed twice fails twice on its own.
    const DownloadQueue::EntryId id = bringBack(pageUrl, true);
    std::optional<PartialFile> part;
    m.queue.edit(id, [&cause, &part](DownloadEntry &entry) {
        entry.state = DownloadEntry::State::Failed;
        entry.lastFailure = cause;
        entry.finished = QDateTime::currentDateTimeUtc();
        part = std::exchange(entry.part, std::nullopt);
    });
    // A part an earlier run kept is known by its entry alone.
    if (part)
        m.download.discardPartial(part->target);
    m_failedEntries.insert(id);
    emit entryEnded(m.queue.entry(m.queue.count() - 1));
    const QString &reason = cause.reason;
    const QString target = m_targets.value(pageUrl);
    discardPartial(pageUrl);
    m.view.showStatus(0, StatusTexts::downloadFailed);
    const QString name = target.mid(target.lastIndexOf(QLatin1Char('/')) + 1);
    m.view.showStatus(2, StatusTexts::reason(name.isEmpty() ? reason : name + QStringLiteral(" - ") + reason));
    emit entryFailed(pageUrl, reason);
}

void PageFlow::discardPartial(const QString &pageUrl)
{
    const QString target = m_targets.take(pageUrl);
    if (!target.isEmpty())
        m.download.discardPartial(target);
}

bool PageFlow::isAtRest() const
{
    return !m_loading && !m_reading && !m_timer1.isActive() && !m_timer2.isActive() && !m_retryWait.isActive()
        && !transferRunning();
}

bool PageFlow::runIsOver() const
{
    return m.queue.count() == 0 && !m_loading && !m_reading && !m_timer1.isActive() && !m_timer2.isActive()
        && !m_retryWait.isActive() && !transferRunning();
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
