// SPDX-License-Identifier: MIT
#pragma once

#include "automation/PageBrowser.h"
#include "platform/web/HtmlDocument.h"
#include "platform/web/PageLimits.h"
#include "platform/web/PageLoad.h"
#include "platform/web/PageRequest.h"

#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class CurlSession;

/**
 * Quorvel's headless browser: libcurl fetches each page (and its frames) on a worker thread,
 * gumbo parses it there, and the events arrive on the UI thread in browser order:
 * beforeNavigate, then per frame beforeNavigate and documentComplete, then downloadComplete
 * and the page's documentComplete. A load that failed shows a small page of Quorvel's own. An
 * address that answers with a file ends in downloadComplete and fileOffered; the file's body is
 * left for a transfer to fetch.
 *
 * A navigation begins when the event loop next runs: one planned before then (another click)
 * replaces it, and a load still running is cancelled, so at most one load does real work.
 *
 * Thread contract: create, use and destroy on the UI thread; every signal is emitted there.
 * Destroying the browser cancels running loads and waits for their threads (a tenth of a second).
 */
class WebBrowser final : public PageBrowser
{
    Q_OBJECT
public:
    /** session must outlive the browser; its cookies, timeouts and safety settings apply to every load. */
    explicit WebBrowser(const CurlSession &session, QObject *parent = nullptr);
    ~WebBrowser() override;

    void navigate(const QString &url) override;
    void stop() override;
    std::shared_ptr<PageDocument> document() override;

    void setLimits(const PageLimits &limits) { m_limits = limits; }
    const PageLimits &limits() const { return m_limits; }

private:
    struct Worker
    {
        quint64 generation;
        std::shared_ptr<std::atomic<bool>> cancel;
        std::thread thread;
    };

    void start(const PageRequest &request);
    void launch();
    void endLoad();
    void finished(quint64 generation, PageLoad::Result result);
    void reap(quint64 generation);
    bool isCurrent(quint64 generation) const { return m_loading && generation == m_generation; }

    const CurlSession &m_session;
    PageLimits m_limits;
    std::vector<Worker> m_workers;
    quint64 m_generation = 0;
    bool m_loading = false;
    std::optional<PageRequest> m_planned;
    bool m_launchQueued = false;
    std::shared_ptr<HtmlDocument> m_document;
};
