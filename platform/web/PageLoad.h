// SPDX-License-Identifier: MIT
#pragma once

#include "platform/web/HtmlDocument.h"
#include "platform/web/PageLimits.h"
#include "platform/web/PageRequest.h"

#include <QString>

#include <atomic>
#include <memory>
#include <vector>

class CurlSession;

/**
 * Everything one navigation fetches: the page, parsed (or Quorvel's own page naming the failure),
 * then each of its frames, all within one deadline.
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
        bool cancelled = false;
    };

    /** Never throws: a load that raised an exception shows a failure page naming it. */
    static Result run(const CurlSession &session, const PageRequest &request, const PageLimits &limits,
                      const std::atomic<bool> &cancel);
    /** The page shown instead of one that could not be loaded: no marker the automation acts on. */
    static std::shared_ptr<HtmlDocument> failurePage(const QUrl &url, const QString &reason);

private:
    static Result load(const CurlSession &session, const PageRequest &request, const PageLimits &limits,
                       const std::atomic<bool> &cancel);
};
