// SPDX-License-Identifier: MIT
#include "platform/web/PageLoad.h"

#include "platform/web/PageDecoder.h"
#include "platform/web/PageFetcher.h"

#include <chrono>

namespace {

std::chrono::milliseconds timeLeft(std::chrono::steady_clock::time_point deadline)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
}

} // namespace

PageLoad::Result PageLoad::run(const CurlSession &session, const PageRequest &request, const PageLimits &limits,
                               const std::atomic<bool> &cancel)
{
    // This is a loader thread's whole work, and an exception leaving a thread ends the program.
    try {
        return load(session, request, limits, cancel);
    } catch (const std::exception &error) {
        Result result;
        result.document = failurePage(request.url, QString::fromUtf8(error.what()));
        return result;
    }
}

PageLoad::Result PageLoad::load(const CurlSession &session, const PageRequest &request, const PageLimits &limits,
                                const std::atomic<bool> &cancel)
{
    const auto deadline = std::chrono::steady_clock::now() + limits.loadTimeout;
    const PageFetcher fetcher(session, cancel);
    Result result;
    const PageResponse page = fetcher.fetch(request, limits.maxPageBytes, timeLeft(deadline));
    if (page.cancelled) {
        result.cancelled = true;
        return result;
    }
    if (!page.ok()) {
        result.document = failurePage(request.url, page.failure);
        return result;
    }
    result.document = HtmlDocument::parse(PageDecoder::toUtf8(page.body, page.contentType), page.url);

    const QList<QUrl> frames = result.document->frameSources();
    for (qsizetype i = 0; i < frames.size() && i < limits.maxFrames; ++i) {
        // A frame's content is never read; it is loaded so that its server sees the visit.
        PageRequest frameRequest;
        frameRequest.url = frames[i];
        frameRequest.referer = page.url.toString();
        const PageResponse frame = fetcher.fetch(frameRequest, limits.maxPageBytes, timeLeft(deadline));
        if (frame.cancelled) {
            result.cancelled = true;
            return result;
        }
        result.frames.push_back({frames[i].toString(), frame.url.toString()});
    }
    return result;
}

std::shared_ptr<HtmlDocument> PageLoad::failurePage(const QUrl &url, const QString &reason)
{
    const QString html = QStringLiteral("<!DOCTYPE html><html><head><title>Quorvel</title></head><body>"
                                        "<h1>Quorvel: 无法打开页面</h1><p>%1</p></body></html>")
                             .arg(reason.toHtmlEscaped());
    return HtmlDocument::parse(html.toUtf8(), url);
}
