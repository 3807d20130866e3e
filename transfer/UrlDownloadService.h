// SPDX-License-Identifier: MIT
#pragma once

#include "common/FailureCause.h"
#include "common/FileChecksum.h"
#include "common/PartialFile.h"

#include <QList>
#include <QStringList>

#include <QString>

#include <cstdint>
#include <optional>

/** How a transfer ended. */
struct TransferOutcome
{
    enum class Kind { Done, Cancelled, Failed };
    Kind kind = Kind::Failed;
    /** For a failure, a short reason: the HTTP status, the network or disk error. */
    QString reason;
    /** For a failure, whether another try may help; a bare reason is taken as permanent. */
    FailureCause cause;
    /** Bytes an earlier try had kept that this one continued from, not fetched again. */
    std::uint64_t resumedBytes = 0;
    /**
     * For a done transfer, the file it made: the target, or a free name beside it when the
     * target's name was taken. Empty from a service that does not say.
     */
    QString savedAs;
    /**
     * Where the server's redirects took the transfer in the end; empty from a service that does
     * not say. A file link on https that ends on http is fetched all the same, but the user is told.
     */
    QString finalUrl;

    static TransferOutcome done() { return {Kind::Done, {}, {}, 0, {}, {}}; }
    static TransferOutcome cancelled() { return {Kind::Cancelled, {}, {}, 0, {}, {}}; }
    static TransferOutcome failed(const QString &why)
    {
        return {Kind::Failed, why, FailureCause::permanent(why), 0, {}, {}};
    }
    static TransferOutcome failed(const FailureCause &cause) { return {Kind::Failed, cause.reason, cause, 0, {}, {}}; }
};

/**
 * The notifications of one transfer. Thread contract: every method is called on the thread that
 * called UrlDownloadService::downloadToFile (the download worker), never concurrently. They must
 * not throw: a service may call them from inside a C library that an exception cannot cross.
 */
class UrlDownloadCallback
{
public:
    virtual ~UrlDownloadCallback() = default;
    /** Once, when the transfer begins. */
    virtual void onStartBinding() = 0;
    /**
     * For each received chunk and at least once a second, also while no data arrives. Counts are
     * bytes; total is 0 while the server has given no length. Returning true aborts the transfer.
     */
    virtual bool onProgress(std::uint64_t received, std::uint64_t total) = 0;
    /**
     * At most once, before the progress that follows it: the transfer goes on from keptBytes an
     * earlier try left, which the progress counts include but this transfer did not fetch.
     */
    virtual void onResumed(std::uint64_t keptBytes) { Q_UNUSED(keptBytes); }
    /**
     * Before the first progress: the file will be saved as fileName, the target or, when the
     * target's name is taken, a free name beside it. A name taken meanwhile can still move it
     * once more; TransferOutcome::savedAs has the last word.
     */
    virtual void onSavingAs(const QString &fileName) { Q_UNUSED(fileName); }
    /**
     * Before the first progress of a body: should the transfer end before the whole file, what
     * arrived is kept as part and the next transfer to the same target continues it; nullopt
     * when this answer cannot be continued. Said again when a fresh answer replaces the first.
     */
    virtual void onResumable(const std::optional<PartialFile> &part) { Q_UNUSED(part); }
    /**
     * The digest the whole file must have before it takes its name; nullopt when nothing is
     * checked. A file that does not match fails the transfer and is not kept for a later try.
     */
    virtual std::optional<FileChecksum> expectedChecksum() const { return std::nullopt; }
    /** Once, at the end, after success, failure and abort alike. */
    virtual void onStopBinding(const TransferOutcome &outcome) = 0;
};

/**
 * Fetches a URL to a file. The data goes to a temporary file beside the target, renamed to the
 * target only when the transfer succeeded: a failed or cancelled transfer leaves nothing under
 * the target name. A file that already has the name is never harmed: a service that finds the
 * name taken saves under a free name beside it and says so in onSavingAs and the outcome.
 */
class UrlDownloadService
{
public:
    virtual ~UrlDownloadService() = default;
    /**
     * Synchronous: returns when the transfer has ended, after onStopBinding. Thread contract:
     * may be called from any thread, and from several at once.
     */
    virtual TransferOutcome downloadToFile(const QString &url, const QString &fileName,
                                           UrlDownloadCallback &callback) = 0;
    /**
     * The longest file name, in bytes, that the file system of folder accepts. Thread contract:
     * any thread.
     */
    virtual qsizetype maxFileNameBytes(const QString &folder) const
    {
        Q_UNUSED(folder);
        return 255;
    }
    /**
     * The entry that would have been saved as fileName will not be tried again: whatever the
     * service kept of it for a later try goes. A service that keeps nothing between tries has
     * nothing to do. Thread contract: UI thread, never while a transfer to fileName runs.
     */
    virtual void discardPartial(const QString &fileName) { Q_UNUSED(fileName); }
    /**
     * Parts an earlier run kept, for the transfers to their targets to continue; a part whose
     * file is gone is left out. Any other part file of this service's naming in folders was left
     * by a run nobody continues, and goes. Thread contract: UI thread, before the first transfer.
     */
    virtual void adoptPartials(const QList<PartialFile> &parts, const QStringList &folders)
    {
        Q_UNUSED(parts);
        Q_UNUSED(folders);
    }
    /**
     * Whether the parts kept for later tries outlive the service (their entries are kept for a
     * later run) or go with it. Thread contract: UI thread.
     */
    virtual void keepPartsAtExit(bool keep) { Q_UNUSED(keep); }
};
