// SPDX-License-Identifier: MIT
#include "platform/download/CurlTransfer.h"

#include "platform/net/CurlFailure.h"
#include "platform/net/CurlSession.h"

#include <stdexcept>
#include <thread>

namespace {
constexpr std::uint64_t reportEveryBytes = 1024 * 1024;
constexpr auto reportEveryInterval = std::chrono::milliseconds(50);
constexpr auto idleReportInterval = std::chrono::seconds(1);
constexpr auto throttleSlice = std::chrono::milliseconds(100);
constexpr long partialContent = 206;
constexpr long rangeNotSatisfiable = 416;
constexpr long proxyAuthenticationRequired = 407;
// libcurl's 16 KiB default costs a system call, a callback and a limit check every 16 KiB: a
// third of a core more than this at loopback speed. Larger pieces would make a low limit lumpy.
constexpr long receiveBufferBytes = 256 * 1024;
}

template<typename Result, typename Step>
Result CurlTransfer::guarded(Result onError, Step step)
{
    try {
        return step();
    } catch (...) {
        m_error = std::current_exception();
        return onError;
    }
}

CurlTransfer::CurlTransfer(const CurlSession &session, UrlDownloadCallback &callback, PartFile &file,
                           std::optional<ResumePoint> resume, const std::atomic<std::int64_t> &limit)
    : m_callback(callback)
    , m_file(file)
    , m_resume(std::move(resume))
    , m_easy(curl_easy_init())
    , m_limit(limit)
    , m_throughProxy(session.namesProxy())
{
    if (!m_easy)
        throw std::runtime_error("libcurl could not create a transfer");
    session.applyCommonOptions(m_easy);
    curl_easy_setopt(m_easy, CURLOPT_ERRORBUFFER, m_curlError);
    // An error page must not end up under the file's name.
    curl_easy_setopt(m_easy, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(m_easy, CURLOPT_BUFFERSIZE, receiveBufferBytes);
    curl_easy_setopt(m_easy, CURLOPT_WRITEFUNCTION, &CurlTransfer::onWrite);
    curl_easy_setopt(m_easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_easy, CURLOPT_HEADERFUNCTION, &CurlTransfer::onHeader);
    curl_easy_setopt(m_easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(m_easy, CURLOPT_XFERINFOFUNCTION, &CurlTransfer::onTransferInfo);
    curl_easy_setopt(m_easy, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(m_easy, CURLOPT_NOPROGRESS, 0L);
    if (m_resume) {
        // Until the answer says otherwise, the bytes already there count as received.
        m_received = m_resume->offset;
        m_total = m_resume->total;
        // CURLOPT_RANGE, not RESUME_FROM: libcurl would fail a 200 itself, which here means
        // "the file changed, take it whole".
        const std::string range = std::to_string(m_resume->offset) + '-';
        curl_easy_setopt(m_easy, CURLOPT_RANGE, range.c_str());
        const QByteArray ifRange = "If-Range: " + m_resume->validator;
        m_requestHeaders = curl_slist_append(nullptr, ifRange.constData());
        if (!m_requestHeaders)
            throw std::runtime_error("libcurl could not add a request header");
        curl_easy_setopt(m_easy, CURLOPT_HTTPHEADER, m_requestHeaders);
    }
}

CurlTransfer::~CurlTransfer()
{
    curl_easy_cleanup(m_easy);
    curl_slist_free_all(m_requestHeaders);
}

TransferOutcome CurlTransfer::run(const QString &url)
{
    const QByteArray encodedUrl = url.toUtf8();
    curl_easy_setopt(m_easy, CURLOPT_URL, encodedUrl.constData());
    TransferOutcome outcome = finish(curl_easy_perform(m_easy));
    outcome.resumedBytes = m_resumed;
    const char *effective = nullptr;
    if (curl_easy_getinfo(m_easy, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        outcome.finalUrl = QString::fromUtf8(effective);
    return outcome;
}

std::optional<CurlTransfer::ResumePoint> CurlTransfer::resumePoint() const
{
    if (m_checksumFailed)
        return std::nullopt;
    // No body came (an error status, a lost connection): the part file is what it was, and so
    // is what continues it.
    if (m_resume && !m_bodyAccepted && !m_mustRestart)
        return ResumePoint{0, m_resume->validator, m_resume->total};
    // What came with a malformed answer may be anything: nothing of it is worth continuing.
    if (m_malformed || m_validator.isEmpty() || m_total == 0)
        return std::nullopt;
    return ResumePoint{0, m_validator, m_total};
}

TransferOutcome CurlTransfer::finish(CURLcode code)
{
    if (m_error)
        std::rethrow_exception(m_error);
    if (m_cancelled)
        return TransferOutcome::cancelled();
    // An empty body still answers the range request; a 416 says the part file is no prefix.
    if (code == CURLE_OK && !m_bodyAccepted)
        acceptBody();
    if (m_resume && code == CURLE_HTTP_RETURNED_ERROR && responseCode() == rangeNotSatisfiable)
        m_mustRestart = true;
    if (m_writeFailed)
        return TransferOutcome::failed(m_file.errorString());
    if (m_mustRestart)
        return TransferOutcome::failed(FailureCause::transient(QStringLiteral("续传应答不符")));
    if (m_malformed)
        return TransferOutcome::failed(malformedAnswerCause());
    if (code != CURLE_OK)
        return TransferOutcome::failed(failureCause(code));
    // A body that ended early, or a range that stopped short of the end, is no whole file;
    // what there is may still be continued by a later try.
    if (m_total > 0 && m_file.size() != m_total)
        return TransferOutcome::failed(FailureCause::transient(QStringLiteral("文件大小不符")));
    if (const auto expected = m_callback.expectedChecksum()) {
        const std::optional<QByteArray> digest = m_file.digest();
        if (!digest)
            return TransferOutcome::failed(m_file.errorString());
        const QByteArray &got = *digest;
        if (got != expected->digest) {
            // Transient, as a cut transfer is: the next try may bring the right bytes, but from
            // the first one, since none of these can be told good from bad.
            m_checksumFailed = true;
            m_callback.onResumable(std::nullopt);
            return TransferOutcome::failed(FailureCause::transient(expected->mismatchText(got)));
        }
    }
    if (!m_file.commit())
        return TransferOutcome::failed(m_file.errorString());
    // The file is whole and in place: a cancel, or a failing callback, now comes too late to matter.
    guarded(false, [this] { return report(); });
    return TransferOutcome::done();
}

FailureCause CurlTransfer::failureCause(CURLcode code) const
{
    const long status = responseCode();
    // Only a proxy answers so, and its refusal says nothing of the link.
    if (code == CURLE_HTTP_RETURNED_ERROR && status == proxyAuthenticationRequired)
        return proxyRefusedCause();
    if (code == CURLE_HTTP_RETURNED_ERROR)
        return FailureCause::fromFileStatus(int(status), curlRetryAfterSeconds(m_easy));
    // The server answered, then went silent: the stall limit, not a connect time-out.
    if (code == CURLE_OPERATION_TIMEDOUT && status > 0)
        return FailureCause::transient(QStringLiteral("传输停滞"));
    return curlFailureCause(code, m_curlError, m_throughProxy);
}

long CurlTransfer::responseCode() const
{
    long status = 0;
    curl_easy_getinfo(m_easy, CURLINFO_RESPONSE_CODE, &status);
    return status;
}

bool CurlTransfer::acceptBody()
{
    m_bodyAccepted = true;
    const long status = responseCode();
    const std::uint64_t kept = m_resume ? m_resume->offset : 0;
    if (status == partialContent) {
        // Bytes of two versions of a file must never be joined: a server may ignore If-Range and
        // send the rest of a changed file, so the answer must itself name the kept part's version.
        const auto range = m_headers.contentRange();
        const bool continuesFile = range && range->first == kept && range->total
            && (!m_resume || (*range->total == m_resume->total && m_headers.isVersion(m_resume->validator)));
        if (!continuesFile) {
            // A request without Range that gets a range of another offset has nothing to start on.
            if (m_resume)
                m_mustRestart = true;
            else
                m_malformed = true;
            return false;
        }
        m_resumed = kept;
        m_validator = m_resume ? m_resume->validator : m_headers.validator();
        m_total = *range->total;
        m_bodyEnd = range->last + 1;
        if (m_resume)
            m_callback.onResumed(m_resumed);
        announceResumable();
        return true;
    }
    if (m_resume) {
        // Only a 200 brings the whole file; any other answer is fetched again from byte 0.
        if (status != 200) {
            m_mustRestart = true;
            return false;
        }
        if (!m_file.restart()) {
            m_writeFailed = true;
            return false;
        }
    }
    m_received = 0;
    m_validator = m_headers.validator();
    curl_off_t length = -1;
    curl_easy_getinfo(m_easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    m_total = length > 0 ? std::uint64_t(length) : 0;
    m_bodyEnd = m_total;
    announceResumable();
    return true;
}

void CurlTransfer::announceResumable()
{
    if (m_validator.isEmpty() || m_total == 0)
        m_callback.onResumable(std::nullopt);
    else
        m_callback.onResumable(PartialFile{m_file.target(), m_file.partName(), m_validator, m_total});
}

bool CurlTransfer::report()
{
    m_reportedBytes = m_received;
    m_reportedAt = Clock::now();
    m_reportedOnce = true;
    return !m_callback.onProgress(m_received, m_total);
}

std::size_t CurlTransfer::onHeader(char *data, std::size_t size, std::size_t count, void *self)
{
    auto &transfer = *static_cast<CurlTransfer *>(self);
    return transfer.guarded(std::size_t{0}, [&] {
        transfer.m_headers.addLine(QByteArray(data, qsizetype(size * count)));
        return size * count;
    });
}

std::size_t CurlTransfer::onWrite(char *data, std::size_t size, std::size_t count, void *self)
{
    auto &transfer = *static_cast<CurlTransfer *>(self);
    return transfer.guarded(std::size_t{0}, [&] { return transfer.write(data, size * count); });
}

std::size_t CurlTransfer::write(const char *data, std::size_t bytes)
{
    if (!m_bodyAccepted && !acceptBody())
        return 0;
    // A body longer than its length or range (sent without Content-Length) is not the file.
    if (m_bodyEnd > 0 && m_file.size() + bytes > m_bodyEnd) {
        m_malformed = true;
        return 0;
    }
    if (!m_file.append(data, bytes)) {
        m_writeFailed = true;
        return 0;
    }
    m_received += bytes;
    const bool due = m_received - m_reportedBytes >= reportEveryBytes
        || Clock::now() - m_reportedAt >= reportEveryInterval;
    if ((due && !report()) || !keepToLimit(bytes)) {
        m_cancelled = true;
        return 0;
    }
    return bytes;
}

bool CurlTransfer::keepToLimit(std::size_t bytes)
{
    const std::int64_t limit = m_limit.load();
    auto wait = m_throttle.waitAfter(bytes, limit, Clock::now());
    while (wait > wait.zero()) {
        const auto slice = std::min<std::chrono::nanoseconds>(wait, throttleSlice);
        std::this_thread::sleep_for(slice);
        wait -= slice;
        if (!report())
            return false;
        // A new limit decides the rest of the wait: the next piece asks the throttle again.
        if (m_limit.load() != limit)
            break;
    }
    return true;
}

int CurlTransfer::onTransferInfo(void *self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto &transfer = *static_cast<CurlTransfer *>(self);
    return transfer.guarded(1, [&] { return transfer.reportIfIdle(); });
}

int CurlTransfer::reportIfIdle()
{
    // libcurl calls this often while data flows and about once a second while none does; the
    // write path reports flowing data, so this one only keeps an idle transfer reporting.
    if (m_reportedOnce && Clock::now() - m_reportedAt < idleReportInterval)
        return 0;
    if (report())
        return 0;
    m_cancelled = true;
    return 1;
}
