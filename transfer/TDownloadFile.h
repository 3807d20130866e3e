// SPDX-License-Identifier: MIT
#pragma once

#include "transfer/NotifyEvents.h"
#include "transfer/UrlDownloadService.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class DownloadThread;
class UiThreadHandoff;

/**
 * Copies one URL to one local file on a worker thread, one transfer at a time, and reports it
 * through OnStart, any number of OnProgress and one OnFinish; misuse goes to OnError. An event
 * fires only when its handler is set.
 *
 * Thread contract: UI thread only (the thread it lives in). Every handler runs on that thread;
 * the worker waits while a transfer handler runs.
 */
class TDownloadFile final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString UrlToDownload READ UrlToDownload WRITE setUrlToDownload)
    Q_PROPERTY(QString FileName READ FileName WRITE setFileName)

public:
    explicit TDownloadFile(UrlDownloadService &service, QObject *owner = nullptr);
    /** Cancels a running transfer without waiting for it; none of its events arrive after. */
    ~TDownloadFile() override;

    QString UrlToDownload() const { return FUrlToDownload; }
    void setUrlToDownload(const QString &url) { FUrlToDownload = url; }
    /** The full path of the target file. */
    QString FileName() const { return FFileName; }
    void setFileName(const QString &fileName) { FFileName = fileName; }
    /** The digest the next transfers' file must have; nullopt checks nothing. */
    const std::optional<FileChecksum> &checksum() const { return m_checksum; }
    void setChecksum(std::optional<FileChecksum> checksum) { m_checksum = std::move(checksum); }

    const TNotifyEvent &OnStart() const { return FOnStart; }
    void setOnStart(TNotifyEvent handler) { FOnStart = std::move(handler); }
    const TProgressNotifyEvent &OnProgress() const { return FOnProgress; }
    void setOnProgress(TProgressNotifyEvent handler) { FOnProgress = std::move(handler); }
    /** Canceled tells whether Stop was called; lastOutcome() tells how the transfer ended. */
    const TFinishNotifyEvent &OnFinish() const { return FOnFinish; }
    void setOnFinish(TFinishNotifyEvent handler) { FOnFinish = std::move(handler); }
    const TErrorNotifyEvent &OnError() const { return FOnError; }
    void setOnError(TErrorNotifyEvent handler) { FOnError = std::move(handler); }

    /**
     * Where an error thrown by a transfer handler goes: it is caught, reported here (an exception
     * of no standard type as "未知错误"), and the transfer goes on. Unset, it is only logged.
     */
    void setErrorReporter(std::function<void(const QString &message)> reporter)
    {
        m_errorReporter = std::move(reporter);
    }

    /** From a successful Start until the owner's OnFinish of that transfer has returned. */
    bool Busy() const { return FBusy; }

    /** Begins a transfer of UrlToDownload to FileName, or reports ecBusy / ecNotSpecified. */
    void Start();
    /** Asks the running transfer to cancel (OnFinish follows), or reports ecNoDownload. */
    void Stop();

    /**
     * How the last transfer ended: done (the file is in place), cancelled, or failed with a
     * reason. Set before OnFinish runs; empty until the first transfer has ended.
     */
    const std::optional<TransferOutcome> &lastOutcome() const { return m_lastOutcome; }

    /**
     * The KiB of the running transfer that an earlier try had kept: the progress counts include
     * them, but they took none of this transfer's time. 0 before its first progress.
     */
    std::uint32_t ResumedKiB() const { return m_resumedKiB; }

    /**
     * The file the running or last transfer saves to: FileName, or the free name beside it that
     * the service took because FileName was taken. Known from the first progress on, final
     * when OnFinish runs.
     */
    QString savedFileName() const { return m_savedFileName.isEmpty() ? FFileName : m_savedFileName; }

    /**
     * What the next try at FileName would continue, should the running transfer end short:
     * known from its first progress on; nullopt before, or when the server's answer cannot be
     * continued.
     */
    const std::optional<PartialFile> &resumablePart() const { return m_resumablePart; }

    /** The entry saved as fileName will not be tried again: what was kept of it goes. */
    void discardPartial(const QString &fileName) { m_service.discardPartial(fileName); }
    /** The longest file name, in bytes, that folder's file system takes. */
    qsizetype maxFileNameBytes(const QString &folder) const { return m_service.maxFileNameBytes(folder); }

private:
    void DoError(ErrorCode code);
    void ThreadStart(QObject *Sender);
    void ThreadProgress(QObject *Sender, std::uint32_t received, std::uint32_t total);
    void ThreadFinish(QObject *Sender, bool canceled);
    void callOwner(const std::function<void()> &call);

    TProgressNotifyEvent FOnProgress;
    TNotifyEvent FOnStart;
    TFinishNotifyEvent FOnFinish;
    TErrorNotifyEvent FOnError;
    DownloadThread *FThread = nullptr;
    bool FBusy = false;
    QString FUrlToDownload;
    QString FFileName;

    UrlDownloadService &m_service;
    std::shared_ptr<UiThreadHandoff> m_handoff;
    std::optional<TransferOutcome> m_lastOutcome;
    std::optional<FileChecksum> m_checksum;
    std::function<void(const QString &)> m_errorReporter;
    std::uint32_t m_resumedKiB = 0;
    QString m_savedFileName;
    std::optional<PartialFile> m_resumablePart;
};
