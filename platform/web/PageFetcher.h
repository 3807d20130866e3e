// SPDX-License-Identifier: MIT
#pragma once

#include "platform/web/PageRequest.h"
#include "platform/web/PageResponse.h"

#include <QtGlobal>

#include <atomic>
#include <chrono>

class CurlSession;

/**
 * One synchronous libcurl request with the session's shared cookies and safety settings, a size
 * cap enforced while the body arrives, and an abort flag polled by libcurl's progress callback.
 * Only a page's body is read. An answer is a file when its Content-Disposition says attachment,
 * its Content-Type is neither HTML nor XHTML, or its first kilobyte holds bytes no text has
 * (under any type but UTF-16): it is dropped at its first byte, or at the kilobyte, and reported
 * as a file when its status is 2xx, as a failure with the status otherwise. Throws only what
 * memory exhaustion throws.
 *
 * Thread contract: fetch() blocks and belongs on a worker thread; the cancel flag may be set
 * from any thread, and fetch() then returns within about a second.
 */
class PageFetcher final
{
public:
    PageFetcher(const CurlSession &session, const std::atomic<bool> &cancel);

    PageResponse fetch(const PageRequest &request, qint64 maxBytes, std::chrono::milliseconds timeLeft) const;

    static bool isHtmlType(const QByteArray &contentType);

private:
    const CurlSession &m_session;
    const std::atomic<bool> &m_cancel;
};
