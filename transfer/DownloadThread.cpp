// SPDX-License-Identifier: MIT
#include "transfer/DownloadThread.h"

#include "transfer/UiThreadHandoff.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace {
// Each posted report wakes the UI thread: a transfer reports far more often at loopback speed
// than anyone can read, and every wake takes the processor from the transfer and from whatever
// else that thread serves.
constexpr auto progressPostInterval = std::chrono::milliseconds(50);

// The live workers of the process, so that the program's exit can wait for them.
struct WorkerCount
{
    std::mutex mutex;
    std::condition_variable changed;
    int running = 0;
};

WorkerCount &workerCount()
{
    // Never destroyed: a worker may still be leaving while static destructors run.
    static auto *count = new WorkerCount;
    return *count;
}

void changeWorkerCount(int delta)
{
    auto &count = workerCount();
    std::lock_guard lock(count.mutex);
    count.running += delta;
    count.changed.notify_all();
}
}

DownloadThread::DownloadThread(UrlDownloadService &service, QString url, QString fileName,
                               std::shared_ptr<UiThreadHandoff> handoff, std::optional<FileChecksum> checksum)
    : FUrl(std::move(url))
    , FFileName(std::move(fileName))
    , m_service(service)
    , m_handoff(std::move(handoff))
    , m_checksum(std::move(checksum))
{
}

void DownloadThread::Resume()
{
    changeWorkerCount(+1);
    try {
        std::thread([this] {
            Execute();
            delete this;
            changeWorkerCount(-1);
        }).detach();
    } catch (const std::system_error &error) {
        changeWorkerCount(-1);
        // With no thread nobody else would end this transfer, and the owner awaits its finish.
        const auto reason = QString::fromUtf8(error.what());
        QMetaObject::invokeMethod(
            this,
            [this, reason] {
                onStopBinding(TransferOutcome::failed(reason));
                deleteLater();
            },
            Qt::QueuedConnection);
    }
}

bool DownloadThread::waitForWorkers(std::chrono::milliseconds timeout)
{
    auto &count = workerCount();
    std::unique_lock lock(count.mutex);
    return count.changed.wait_for(lock, timeout, [&] { return count.running == 0; });
}

void DownloadThread::Execute()
{
    TransferOutcome outcome;
    try {
        outcome = m_service.downloadToFile(FUrl, FFileName, *this);
    } catch (const std::exception &error) {
        outcome = TransferOutcome::failed(QString::fromUtf8(error.what()));
    } catch (...) {
        outcome = TransferOutcome::failed(QStringLiteral("unknown error in the download service"));
    }
    // A service that never reported the end still owes the owner its finish.
    onStopBinding(outcome);
}

void DownloadThread::onStartBinding()
{
    if (m_started)
        return;
    m_started = true;
    m_handoff->run([this] { DoStart(); });
}

bool DownloadThread::onProgress(std::uint64_t received, std::uint64_t total)
{
    if (m_stopped)
        return true;
    onStartBinding();
    FReceived = static_cast<std::uint32_t>(received >> 10);
    FTotal = static_cast<std::uint32_t>(total >> 10);
    const auto now = std::chrono::steady_clock::now();
    if (now - m_postedAt >= progressPostInterval) {
        m_postedAt = now;
        postProgress();
    } else {
        m_unposted = true;
    }
    return FCanceled;
}

void DownloadThread::postProgress()
{
    m_unposted = false;
    // The finish is handed off after this, so a report still posted runs before it, and none
    // runs once the owner has let the worker go, which may then be gone.
    if (!m_progressPosted.exchange(true)) {
        m_handoff->post([this] {
            m_progressPosted = false;
            DoProgress();
        });
    }
}

void DownloadThread::onResumed(std::uint64_t keptBytes)
{
    m_handoff->run([this, kiB = static_cast<std::uint32_t>(keptBytes >> 10)] { m_resumedKiB = kiB; });
}

void DownloadThread::onSavingAs(const QString &fileName)
{
    m_handoff->run([this, &fileName] { m_savingAs = fileName; });
}

void DownloadThread::onResumable(const std::optional<PartialFile> &part)
{
    m_handoff->run([this, &part] { m_resumable = part; });
}

void DownloadThread::onStopBinding(const TransferOutcome &outcome)
{
    if (m_stopped)
        return;
    onStartBinding();
    m_stopped = true;
    m_outcome = outcome;
    // The last figures are shown before the finish, however soon after the last report it comes.
    if (m_unposted)
        postProgress();
    m_handoff->run([this] { DoFinish(); });
}

void DownloadThread::DoStart()
{
    if (FOnStart)
        FOnStart(this);
}

void DownloadThread::DoProgress()
{
    if (FOnProgress)
        FOnProgress(this, FReceived, FTotal);
}

void DownloadThread::DoFinish()
{
    if (FOnFinish)
        FOnFinish(this, FCanceled);
}
