// SPDX-License-Identifier: MIT
#pragma once

#include "platform/download/CurlTransfer.h"
#include "platform/download/KeptParts.h"
#include "transfer/UrlDownloadService.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

class CurlSession;

/**
 * The URL download service over libcurl. Its transfers share the program's CurlSession: the
 * page engine's cookies go with every file request, and the session's limits (protocols,
 * redirects, TLS, connect and stall timeouts) apply.
 *
 * A transfer that ends without the whole file, after data arrived, keeps its part file when the
 * server named a validator and a length; the next transfer to the same target asks only for
 * the rest. Kept parts live until discardPartial() or the service's end, or past it for a run
 * that keeps its entries, which hands them to the next one's adoptPartials().
 *
 * Each transfer keeps to the speed limit, which may change while it runs.
 *
 * Thread contract: downloadToFile() and setSpeedLimit() from any thread, several at once;
 * discardPartial() on the UI thread; the session outlives it. Destroy it after the components that use it: it waits a
 * moment for transfers still ending, then removes the parts it kept.
 */
class CurlUrlDownloadService final : public UrlDownloadService
{
public:
    explicit CurlUrlDownloadService(const CurlSession &session);
    ~CurlUrlDownloadService() override;

    TransferOutcome downloadToFile(const QString &url, const QString &fileName,
                                   UrlDownloadCallback &callback) override;
    qsizetype maxFileNameBytes(const QString &folder) const override;
    void discardPartial(const QString &fileName) override;
    void adoptPartials(const QList<PartialFile> &parts, const QStringList &folders) override;
    void keepPartsAtExit(bool keep) override { m_kept.keepAtExit(keep); }
    /** Bytes per second for each transfer, running ones included; 0 is full speed. */
    void setSpeedLimit(std::int64_t bytesPerSecond) { m_bytesPerSecond.store(bytesPerSecond); }

private:
    TransferOutcome fetch(const QString &url, const QString &fileName, UrlDownloadCallback &callback);

    const CurlSession &m_session;
    KeptParts m_kept;
    std::mutex m_runningMutex;
    std::condition_variable m_runningChanged;
    int m_running = 0;
    std::atomic<std::int64_t> m_bytesPerSecond{0};
};
