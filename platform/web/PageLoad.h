// SPDX-License-Identifier: MIT
#pragma once

#include "platform/web/FileAnswer.h"
#include "platform/web/HtmlDocument.h"
#include "platform/web/PageLimits.h"
#include "platform/web/PageRequest.h"
#include "platform/web/PageResponse.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

class CurlSession;

/**
 * Everything one navigation fetches: the page, parsed (or Quorvel's own page naming the failure),
 * then each of its frames, all within one deadline; or, when the address answers with a file,
 * only where the file is, its body left unread. The parse has its own bounds as well (time,
 * nodes, memory), and ends at once when the load is cancelled. The document says why the load
 * failed: a transient or permanent cause on the failure page, the status on a server's error page.
 * Thread contract: run() blocks and belongs on a worker thread; cancel may be set from any thread.
 */
class PageLoad final
{
public:
    struct Frame
    {
        QString requested;
        QString loaded;
    };
    struct Result
    {
        std::shared_ptr<HtmlDocument> document;
        std::vector<Frame> frames;
        /** Set instead of a document when the navigation's answer is a file. */
        std::optional<FileAnswer> file;
        bool cancelled = false;
    };

    /** Never throws: a load that raised an exception shows a failure page naming it. */
    static Result run(const CurlSession &session, const PageRequest &request, const PageLimits &limits,
                      const std::atomic<bool> &cancel);

private:
    static Result load(const CurlSession &session, const PageRequest &request, const PageLimits &limits,
                       const std::atomic<bool> &cancel);
    /** The page's tree, the failure page of a parse past its bounds, or nothing when cancelled. */
    static HtmlDocument::Parsed parse(const PageResponse &page, const PageLimits &limits,
                                      const std::atomic<bool> &cancel, std::chrono::steady_clock::time_point loadDeadline);
};
