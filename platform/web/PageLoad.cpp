// SPDX-License-Identifier: MIT
#include "platform/web/PageLoad.h"

#include "platform/web/PageDecoder.h"
#include "platform/web/PageFetcher.h"

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds timeLeft(Clock::time_point deadline)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
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
        const QString reason = QString::fromUtf8(error.what());
        result.document = HtmlDocument::failurePage(request.url, reason, FailureCause::permanent(reason));
        return result;
    }
}

PageLoad::Result PageLoad::load(const CurlSession &session, const PageRequest &request, const PageLimits &limits,
                                const std::atomic<bool> &cancel)
{
    const auto deadline = Clock::now() + limits.loadTimeout;
    const PageFetcher fetcher(session, cancel);
    Result result;
    const PageResponse page = fetcher.fetch(request, limits.maxPageBytes, timeLeft(deadline));
    if (page.cancelled) {
        result.cancelled = true;
        return result;
    }
    if (page.file) {
        result.file = page.file;
        return result;
    }
    if (!page.ok()) {
        result.document = HtmlDocument::failurePage(request.url, page.failure, page.cause);
        return result;
    }
    HtmlDocument::Parsed parsed = parse(page, limits, cancel, deadline);
    if (parsed.refusal == ParseRefusal::Cancelled) {
        result.cancelled = true;
        return result;
    }
    result.document = std::move(parsed.document);
    // A server's error page is still read: a host says "file not found" on a 404 page.
    if (page.status >= 400)
        result.document->setLoadFailure(FailureCause::fromPageStatus(int(page.status), page.retryAfterSeconds));

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

HtmlDocument::Parsed PageLoad::parse(const PageResponse &page, const PageLimits &limits, const std::atomic<bool> &cancel,
                                     Clock::time_point loadDeadline)
{
    const auto mebibytes = double(page.body.size()) / (1024 * 1024);
    const auto allowance = limits.parseTimeBase
        + std::chrono::duration_cast<std::chrono::milliseconds>(limits.parseTimePerMiB * mebibytes);
    ParseBudget budget;
    budget.cancel = &cancel;
    budget.deadline = loadDeadline;
    budget.maxCpuTime = allowance;
    budget.maxBytes = limits.maxParseBytes;
    budget.maxNodes = limits.maxParseNodes;
    HtmlDocument::Parsed parsed
        = HtmlDocument::parseWithin(PageDecoder::toUtf8(page.body, page.contentType), page.url, budget);
    if (parsed.document || parsed.refusal == ParseRefusal::Cancelled)
        return parsed;
    // A parse that outran its own allowance will do so again: the page is at fault. One cut
    // short by the load's deadline lost its time to a slow server, which may be quicker later.
    const bool slowServer = parsed.refusal == ParseRefusal::Deadline;
    const QString reason = HtmlDocument::refusalText(parsed.refusal, budget);
    const FailureCause cause = slowServer ? FailureCause::transient(QStringLiteral("超时")) : FailureCause::permanent(reason);
    parsed.document = HtmlDocument::failurePage(page.url, reason, cause);
    return parsed;
}
