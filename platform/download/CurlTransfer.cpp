// SPDX-License-Identifier: MIT
#include "platform/download/CurlTransfer.h"

#include "platform/net/CurlSession.h"

#include <stdexcept>

namespace {
constexpr std::uint64_t reportEveryBytes = 1024 * 1024;
constexpr auto reportEveryInterval = std::chrono::milliseconds(50);
constexpr auto idleReportInterval = std::chrono::seconds(1);
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

CurlTransfer::CurlTransfer(const CurlSession &session, UrlDownloadCallback &callback, const QString &fileName)
    : m_callback(callback)
    , m_file(fileName)
    , m_easy(curl_easy_init())
{
    if (!m_easy)
        throw std::runtime_error("libcurl could not create a transfer");
    session.applyCommonOptions(m_easy);
    curl_easy_setopt(m_easy, CURLOPT_ERRORBUFFER, m_curlError);
    // An error page must not end up under the file's name.
    curl_easy_setopt(m_easy, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(m_easy, CURLOPT_WRITEFUNCTION, &CurlTransfer::onWrite);
    curl_easy_setopt(m_easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_easy, CURLOPT_XFERINFOFUNCTION, &CurlTransfer::onTransferInfo);
    curl_easy_setopt(m_easy, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(m_easy, CURLOPT_NOPROGRESS, 0L);
}

CurlTransfer::~CurlTransfer()
{
    curl_easy_cleanup(m_easy);
}

TransferOutcome CurlTransfer::run(const QString &url)
{
    if (!m_file.open())
        return TransferOutcome::failed(m_file.errorString());
    const QByteArray encodedUrl = url.toUtf8();
    curl_easy_setopt(m_easy, CURLOPT_URL, encodedUrl.constData());
    return finish(curl_easy_perform(m_easy));
}

TransferOutcome CurlTransfer::finish(CURLcode code)
{
    if (m_error)
        std::rethrow_exception(m_error);
    if (m_cancelled)
        return TransferOutcome::cancelled();
    if (m_writeFailed)
        return TransferOutcome::failed(m_file.errorString());
    if (code == CURLE_HTTP_RETURNED_ERROR) {
        long status = 0;
        curl_easy_getinfo(m_easy, CURLINFO_RESPONSE_CODE, &status);
        return TransferOutcome::failed(QStringLiteral("HTTP %1").arg(status));
    }
    if (code != CURLE_OK) {
        const char *why = m_curlError[0] ? m_curlError : curl_easy_strerror(code);
        return TransferOutcome::failed(QString::fromUtf8(why));
    }
    if (!m_file.commit())
        return TransferOutcome::failed(m_file.errorString());
    // The file is whole and in place: a cancel, or a failing callback, now comes too late to matter.
    guarded(false, [this] { return report(); });
    return TransferOutcome::done();
}

bool CurlTransfer::report()
{
    curl_off_t length = -1;
    curl_easy_getinfo(m_easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    const std::uint64_t total = length > 0 ? std::uint64_t(length) : 0;
    m_reportedBytes = m_received;
    m_reportedAt = Clock::now();
    m_reportedOnce = true;
    return !m_callback.onProgress(m_received, total);
}

std::size_t CurlTransfer::onWrite(char *data, std::size_t size, std::size_t count, void *self)
{
    auto &transfer = *static_cast<CurlTransfer *>(self);
    return transfer.guarded(std::size_t{0}, [&] { return transfer.write(data, size * count); });
}

std::size_t CurlTransfer::write(const char *data, std::size_t bytes)
{
    if (!m_file.append(data, bytes)) {
        m_writeFailed = true;
        return 0;
    }
    m_received += bytes;
    const bool due = m_received - m_reportedBytes >= reportEveryBytes
        || Clock::now() - m_reportedAt >= reportEveryInterval;
    if (due && !report()) {
        m_cancelled = true;
        return 0;
    }
    return bytes;
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
