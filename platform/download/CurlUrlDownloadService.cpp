// SPDX-License-Identifier: MIT
#include "platform/download/CurlUrlDownloadService.h"

#include "platform/download/FileNameLimit.h"
#include "platform/download/PartFile.h"

#include <QDir>
#include <QFileInfo>

#include <chrono>
#include <exception>

namespace {
// A cancelled transfer notices within one progress call of libcurl's, a fraction of a second.
constexpr auto endingTransfersWait = std::chrono::seconds(3);
}

CurlUrlDownloadService::CurlUrlDownloadService(const CurlSession &session)
    : m_session(session)
{
}

CurlUrlDownloadService::~CurlUrlDownloadService()
{
    // The components are gone and have cancelled their transfers, whose workers no longer wait
    // for the UI thread; a part one of them keeps on its way out must still be removed below.
    std::unique_lock lock(m_runningMutex);
    m_runningChanged.wait_for(lock, endingTransfersWait, [this] { return m_running == 0; });
}

TransferOutcome CurlUrlDownloadService::downloadToFile(const QString &url, const QString &fileName,
                                                       UrlDownloadCallback &callback)
{
    {
        std::lock_guard lock(m_runningMutex);
        ++m_running;
    }
    callback.onStartBinding();
    TransferOutcome outcome;
    try {
        outcome = fetch(url, fileName, callback);
    } catch (const std::exception &error) {
        outcome = TransferOutcome::failed(QString::fromUtf8(error.what()));
    } catch (...) {
        outcome = TransferOutcome::failed(QStringLiteral("unknown error in the transfer"));
    }
    // After the part file is removed or kept, so that the owner's finish sees the folder as it stays.
    callback.onStopBinding(outcome);
    std::lock_guard lock(m_runningMutex);
    --m_running;
    m_runningChanged.notify_all();
    return outcome;
}

TransferOutcome CurlUrlDownloadService::fetch(const QString &url, const QString &fileName,
                                              UrlDownloadCallback &callback)
{
    PartFile file(fileName);
    // Hashed on this worker as the bytes arrive (a kept part's first), never on the UI thread.
    if (const auto checksum = callback.expectedChecksum())
        file.hashWith(checksum->algorithm);
    std::optional<CurlTransfer::ResumePoint> from;
    if (const auto kept = m_kept.take(fileName); kept && file.resume(kept->partName))
        from = CurlTransfer::ResumePoint{file.size(), kept->validator, kept->total};
    if (!from && !file.open())
        return TransferOutcome::failed(file.errorString());
    callback.onSavingAs(file.chooseName());

    TransferOutcome outcome;
    std::optional<CurlTransfer::ResumePoint> keepable;
    bool restart = false;
    {
        CurlTransfer transfer(m_session, callback, file, from, m_bytesPerSecond);
        outcome = transfer.run(url);
        keepable = transfer.resumePoint();
        restart = transfer.mustRestart();
    }
    if (restart) {
        if (!file.restart())
            return TransferOutcome::failed(file.errorString());
        CurlTransfer transfer(m_session, callback, file, std::nullopt, m_bytesPerSecond);
        outcome = transfer.run(url);
        keepable = transfer.resumePoint();
    }
    if (outcome.kind == TransferOutcome::Kind::Done)
        outcome.savedAs = file.savedName();
    // A part as long as the whole file, or longer, can only be asked for a range past its end.
    else if (keepable && file.size() > 0 && file.size() < keepable->total) {
        file.keep();
        m_kept.put(fileName, {file.partName(), keepable->validator, keepable->total});
    }
    return outcome;
}

qsizetype CurlUrlDownloadService::maxFileNameBytes(const QString &folder) const
{
    return fileNameLimit(folder);
}

void CurlUrlDownloadService::discardPartial(const QString &fileName)
{
    m_kept.discard(fileName);
}

void CurlUrlDownloadService::adoptPartials(const QList<PartialFile> &parts, const QStringList &folders)
{
    for (const PartialFile &part : parts) {
        const QFileInfo file(part.partName);
        // A kept record is a file a person can edit: it must not lead a transfer to append to a
        // file of another name, in another folder, or through a link.
        if (!PartFile::isPartName(part.partName) || file.isSymLink() || !file.isFile()
            || file.absolutePath() != QFileInfo(part.target).absolutePath() || part.total == 0)
            continue;
        m_kept.put(part.target, {file.absoluteFilePath(), part.validator, part.total});
    }
    for (const QString &folder : folders) {
        const QDir dir(folder);
        for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            const QString path = dir.absoluteFilePath(name);
            // A part some other run is writing now (another Quorvel, a quorvel-batch) is not stray.
            if (PartFile::isPartName(name) && !m_kept.holds(path) && !PartFile::isInUse(path))
                QFile::remove(path);
        }
    }
}
