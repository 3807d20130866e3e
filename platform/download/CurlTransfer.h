// SPDX-License-Identifier: MIT
#pragma once

#include "platform/download/PartFile.h"
#include "transfer/UrlDownloadService.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdint>

class CurlSession;

/**
 * One libcurl transfer of a URL into a PartFile, reporting progress to a callback: for received
 * data once per MiB or after 50 ms, whichever comes first (a report may block on the UI thread:
 * one per 64 KiB still halved the throughput of a 1 GiB transfer, one per 16 KiB piece is worse),
 * at least once a second while nothing arrives, and once at the end of a successful transfer.
 *
 * Thread contract: created and run on one thread.
 */
class CurlTransfer final
{
public:
    CurlTransfer(const CurlSession &session, UrlDownloadCallback &callback, const QString &fileName);
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer &) = delete;
    CurlTransfer &operator=(const CurlTransfer &) = delete;

    /** Fetches url; on success the file is in place under its name. Calls no start or stop. */
    TransferOutcome run(const QString &url);

private:
    using Clock = std::chrono::steady_clock;

    static std::size_t onWrite(char *data, std::size_t size, std::size_t count, void *self);
    static int onTransferInfo(void *self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    /** Hands the counts to the callback; false when it asked to abort. */
    bool report();
    TransferOutcome finish(CURLcode code);

    UrlDownloadCallback &m_callback;
    PartFile m_file;
    CURL *m_easy;
    char m_curlError[CURL_ERROR_SIZE] = {};
    std::uint64_t m_received = 0;
    std::uint64_t m_reportedBytes = 0;
    Clock::time_point m_reportedAt;
    bool m_reportedOnce = false;
    bool m_cancelled = false;
    bool m_writeFailed = false;
};
