// SPDX-License-Identifier: MIT
#pragma once

#include "platform/download/PartFile.h"
#include "platform/download/ResumeHeaders.h"
#include "transfer/TransferThrottle.h"
#include "transfer/UrlDownloadService.h"

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <optional>

class CurlSession;

/**
 * One libcurl transfer of a URL into a PartFile, reporting progress to a callback: for received
 * data once per MiB or after 50 ms, whichever comes first (a report may block on the UI thread:
 * one per 64 KiB still halved the throughput of a 1 GiB transfer, one per 16 KiB piece is worse),
 * at least once a second while nothing arrives, and once at the end of a successful transfer.
 * An exception thrown by the callback or by the buffer fails the transfer, never crossing libcurl.
 *
 * Given a resume point, it asks only for the bytes after the part file's end, guarded by the
 * validator of the response that began the file. It appends only to a 206 that continues the
 * file exactly and names the same version (its strong ETag, or its date, is the validator sent);
 * a 200 (the file changed, or the server ignores ranges) replaces what the part file held; any
 * other answer, a 416 included, leaves mustRestart() for a fresh request. A fresh request takes
 * a 200, or a 206 from byte 0. The file is committed only when it has the length the answer
 * declared; a body that runs past it fails the transfer as a malformed answer. When the callback
 * names a digest, the file is committed only when its bytes have it.
 *
 * It keeps to the bytes per second that limit holds (0: none), read again for every piece, by
 * waiting on its own thread after the piece: libcurl's own limit is fixed once a transfer runs.
 * While it waits it reports, so that a cancel ends the wait within a tenth of a second.
 *
 * Thread contract: created and run on one thread.
 */
class CurlTransfer final
{
public:
    /** Where a kept part file ends, and what the response that began it said. */
    struct ResumePoint
    {
        std::uint64_t offset = 0;
        /** The If-Range value: a strong ETag or a Last-Modified date. */
        QByteArray validator;
        /** The whole file's length as first announced. */
        std::uint64_t total = 0;
    };

    CurlTransfer(const CurlSession &session, UrlDownloadCallback &callback, PartFile &file,
                 std::optional<ResumePoint> resume, const std::atomic<std::int64_t> &limit);
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer &) = delete;
    CurlTransfer &operator=(const CurlTransfer &) = delete;

    /**
     * Fetches url into the open part file; on success the file is in place under its name.
     * Calls no start or stop.
     */
    TransferOutcome run(const QString &url);

    /** The answer to the range request cannot continue the part file: fetch it from byte 0. */
    bool mustRestart() const { return m_mustRestart; }
    /**
     * What a later try needs to go on from the part file's end, when the response that began it
     * named a validator and a length; the offset is left for the caller to read from the file.
     */
    std::optional<ResumePoint> resumePoint() const;

private:
    using Clock = std::chrono::steady_clock;

    static std::size_t onWrite(char *data, std::size_t size, std::size_t count, void *self);
    static std::size_t onHeader(char *data, std::size_t size, std::size_t count, void *self);
    static int onTransferInfo(void *self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    /** Hands the counts to the callback; false when it asked to abort. */
    bool report();
    std::size_t write(const char *data, std::size_t bytes);
    /** Decides, once the body begins, whether it continues the part file or replaces it. */
    bool acceptBody();
    /** Tells the callback whether what this answer brings could be continued by a later try. */
    void announceResumable();
    long responseCode() const;
    int reportIfIdle();
    /** Waits as the limit asks after bytes arrived; false when the callback asked to abort. */
    bool keepToLimit(std::size_t bytes);
    TransferOutcome finish(CURLcode code);
    FailureCause failureCause(CURLcode code) const;
    /** Runs step for libcurl, which is C: an exception is kept for run() and onError returned. */
    template<typename Result, typename Step>
    Result guarded(Result onError, Step step);

    UrlDownloadCallback &m_callback;
    PartFile &m_file;
    std::optional<ResumePoint> m_resume;
    CURL *m_easy;
    curl_slist *m_requestHeaders = nullptr;
    char m_curlError[CURL_ERROR_SIZE] = {};
    ResumeHeaders m_headers;
    bool m_bodyAccepted = false;
    bool m_mustRestart = false;
    /** The answer contradicted itself or broke HTTP: its body must not be kept. */
    bool m_malformed = false;
    /** The whole file came, but not the one the entry's digest names. */
    bool m_checksumFailed = false;
    QByteArray m_validator;
    std::uint64_t m_resumed = 0;
    std::uint64_t m_received = 0;
    std::uint64_t m_total = 0;
    /** Where the part file must end once this answer's body is in, 0 when it did not say. */
    std::uint64_t m_bodyEnd = 0;
    std::uint64_t m_reportedBytes = 0;
    Clock::time_point m_reportedAt;
    bool m_reportedOnce = false;
    bool m_cancelled = false;
    bool m_writeFailed = false;
    std::exception_ptr m_error;
    const std::atomic<std::int64_t> &m_limit;
    TransferThrottle m_throttle;
    bool m_throughProxy;
};
