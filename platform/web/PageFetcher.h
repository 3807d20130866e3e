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
 * Only HTML is accepted: a response whose Content-Type names anything else is dropped at its
 * first byte. Throws only what memory exhaustion throws.
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
