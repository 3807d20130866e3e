// SPDX-License-Identifier: MIT
#include "platform/web/WebBrowser.h"

#include "common/QuorvelError.h"

#include <QPointer>

WebBrowser::WebBrowser(const CurlSession &session, QObject *parent)
    : PageBrowser(parent)
    , m_session(session)
{
}

WebBrowser::~WebBrowser()
{
    // The workers never wait for this thread, so joining them cannot deadlock; a fetch sees the
    // flag within a tenth of a second, a parse at its next allocation.
    for (Worker &worker : m_workers)
        worker.cancel->store(true);
    for (Worker &worker : m_workers)
        worker.thread.join();
}

void WebBrowser::navigate(const QString &url)
{
    PageRequest request;
    // Browsers drop the blanks around a typed or pasted address.
    request.url = QUrl(url.trimmed());
    start(request);
}

void WebBrowser::stop()
{
    m_planned.reset();
    if (m_loading)
        endLoad();
}

std::shared_ptr<PageDocument> WebBrowser::document()
{
    if (!m_document)
        throw QuorvelError(QStringLiteral("浏览器还没有打开任何文档"));
    return m_document;
}

void WebBrowser::start(const PageRequest &request)
{
    // As in a browser, a navigation planned in the same task replaces an earlier plan: of the
    // clicks of one pass over a page's forms only the last is fetched, however many forms it has.
    if (m_loading && !m_planned)
        endLoad();
    m_planned = request;
    ++m_generation;
    m_loading = true;
    if (m_launchQueued)
        return;
    m_launchQueued = true;
    QMetaObject::invokeMethod(this, &WebBrowser::launch, Qt::QueuedConnection);
}

void WebBrowser::launch()
{
    m_launchQueued = false;
    if (!m_planned)
        return;
    const PageRequest request = std::move(*m_planned);
    m_planned.reset();
    const quint64 generation = m_generation;
    emit beforeNavigate(request.url.toString());
    // The handler may have stopped the browser or planned another navigation.
    if (!isCurrent(generation) || m_planned)
        return;
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([this, generation, cancel, request, limits = m_limits] {
        auto result = std::make_shared<PageLoad::Result>(PageLoad::run(m_session, request, limits, *cancel));
        QMetaObject::invokeMethod(
            this, [this, generation, result] { finished(generation, std::move(*result)); }, Qt::QueuedConnection);
    });
    m_workers.push_back({generation, std::move(cancel), std::move(thread)});
}

void WebBrowser::endLoad()
{
    // Every other load was cancelled when it was replaced; cancelling again costs nothing.
    for (Worker &worker : m_workers)
        worker.cancel->store(true);
    m_loading = false;
    // Queued like every other event, so that a handler which stops the browser is not re-entered.
    QMetaObject::invokeMethod(
        this, [this] { emit downloadComplete(); }, Qt::QueuedConnection);
}

void WebBrowser::finished(quint64 generation, PageLoad::Result result)
{
    reap(generation);
    if (!isCurrent(generation) || result.cancelled)
        return;
    if (result.file) {
        m_loading = false;
        emit downloadComplete();
        if (generation == m_generation)
            emit fileOffered(result.file->url, result.file->suggestedName, QString::fromUtf8(result.file->contentType));
        return;
    }
    m_document = std::move(result.document);
    // A click in an old document still navigates this browser, as it would in a browser window.
    m_document->setNavigator([self = QPointer<WebBrowser>(this)](const PageRequest &request) {
        if (self)
            self->start(request);
    });
    const QString pageUrl = m_document->url();
    // Any handler may stop the browser or begin another navigation; what is left of this load
    // is then dropped.
    for (const PageLoad::Frame &frame : result.frames) {
        if (isCurrent(generation))
            emit beforeNavigate(frame.requested);
        if (isCurrent(generation))
            emit documentComplete(frame.loaded);
    }
    if (!isCurrent(generation))
        return;
    m_loading = false;
    emit downloadComplete();
    if (generation == m_generation)
        emit documentComplete(pageUrl);
}

void WebBrowser::reap(quint64 generation)
{
    for (auto it = m_workers.begin(); it != m_workers.end(); ++it) {
        if (it->generation == generation) {
            // The worker's last act was to post this call, so the join is immediate.
            it->thread.join();
            m_workers.erase(it);
            return;
        }
    }
}
