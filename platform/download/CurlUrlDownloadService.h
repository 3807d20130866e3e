// SPDX-License-Identifier: MIT
#pragma once

#include "transfer/UrlDownloadService.h"

class CurlSession;

/**
 * The URL download service over libcurl. Its transfers share the program's CurlSession: the
 * page engine's cookies go with every file request, and the session's limits (protocols,
 * redirects, TLS, connect and stall timeouts) apply.
 *
 * Thread contract: downloadToFile() from any thread, several at once; the session outlives it.
 */
class CurlUrlDownloadService final : public UrlDownloadService
{
public:
    explicit CurlUrlDownloadService(const CurlSession &session);

    TransferOutcome downloadToFile(const QString &url, const QString &fileName,
                                   UrlDownloadCallback &callback) override;

private:
    const CurlSession &m_session;
};
