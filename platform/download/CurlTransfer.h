// SPDX-License-Identifier: MIT
#pragma once

#include "platform/download/PartFile.h"
#include "transfer/UrlDownloadService.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdint>
#include <exception>

class CurlSession;

/**
 * One libcurl transfer of a URL into a PartFile, reporting progress to a callback: for received
 * data once per MiB or after 50 ms, whichever comes first (a report may block on the UI thread:
 * one per 64 KiB still halved the throughput of a 1 GiB transfer, one per 16 KiB piece is worse),
 * at least once a second while nothing arrives, and once at the end of a successful transfer.
 * An exception thrown by the callback or by the buffer fails the transfer, never crossing libcurl.
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
    std::size_t write(const char *data, std::size_t bytes);
    int reportIfIdle();
    TransferOutcome finish(CURLcode code);
    /** Runs step for libcurl, which is C: an exception is kept for run() and onError returned. */
    template<typename Result, typename Step>
    Result guarded(Result onError, Step step);

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
    std::exception_ptr m_error;
};
