// SPDX-License-Identifier: MIT
#include "transfer/TDownloadFile.h"

#include "common/QuorvelError.h"
#include "transfer/DownloadThread.h"
#include "transfer/UiThreadHandoff.h"

#include <QDebug>
#include <QPointer>

TDownloadFile::TDownloadFile(UrlDownloadService &service, QObject *owner)
    : QObject(owner)
    , m_service(service)
{
}

TDownloadFile::~TDownloadFile()
{
    if (FBusy)
        Stop();
    // The worker may be waiting for us right now: this releases it and drops its queued events.
    if (m_handoff)
        m_handoff->detach();
}

void TDownloadFile::Start()
{
    if (FBusy) {
        DoError(ecBusy);
        return;
    }
    if (FUrlToDownload.isEmpty() || FFileName.isEmpty()) {
        DoError(ecNotSpecified);
        return;
    }
    FBusy = true;
    m_resumedKiB = 0;
    m_savedFileName.clear();
    m_resumablePart.reset();
    m_handoff = std::make_shared<UiThreadHandoff>(this);
    FThread = new DownloadThread(m_service, FUrlToDownload, FFileName, m_handoff, m_checksum);
    // The handlers reach us only through the hand-off, which stops at our destruction.
    FThread->setOnStart([this](QObject *Sender) { ThreadStart(Sender); });
    FThread->setOnFinish([this](QObject *Sender, bool canceled) { ThreadFinish(Sender, canceled); });
    FThread->setOnProgress([this](QObject *Sender, std::uint32_t received, std::uint32_t total) {
        ThreadProgress(Sender, received, total);
    });
    FThread->Resume();
}

void TDownloadFile::Stop()
{
    if (!FBusy) {
        DoError(ecNoDownload);
        return;
    }
    FThread->Cancel();
}

void TDownloadFile::DoError(ErrorCode code)
{
    if (FOnError)
        FOnError(this, code, errorMessage(code));
}

void TDownloadFile::ThreadStart(QObject *Sender)
{
    if (FOnStart)
        callOwner([handler = FOnStart, Sender] { handler(Sender); });
}

void TDownloadFile::ThreadProgress(QObject *Sender, std::uint32_t received, std::uint32_t total)
{
    m_resumedKiB = FThread->resumedKiB();
    if (!FThread->savingAs().isEmpty())
        m_savedFileName = FThread->savingAs();
    m_resumablePart = FThread->resumable();
    if (FOnProgress)
        callOwner([handler = FOnProgress, Sender, received, total] { handler(Sender, received, total); });
}

void TDownloadFile::ThreadFinish(QObject *Sender, bool canceled)
{
    m_lastOutcome = FThread->outcome();
    if (!m_lastOutcome->savedAs.isEmpty())
        m_savedFileName = m_lastOutcome->savedAs;
    const QPointer<TDownloadFile> alive(this);
    if (FOnFinish)
        callOwner([handler = FOnFinish, Sender, canceled] { handler(Sender, canceled); });
    // Only after the handler: a Start from inside it must still find the component busy.
    if (alive)
        FBusy = false;
}

void TDownloadFile::callOwner(const std::function<void()> &call)
{
    // Copies, because the handler may destroy this component; an error must not reach the worker.
    const auto report = m_errorReporter;
    const auto reportOrLog = [&report](const QString &message) {
        if (report)
            report(message);
        else
            qWarning().noquote() << message;
    };
    try {
        call();
    } catch (const QuorvelError &error) {
        reportOrLog(error.message());
    } catch (const std::exception &error) {
        reportOrLog(QString::fromUtf8(error.what()));
    } catch (...) {
        // Whatever a handler throws, it must not unwind into the hand-off or the event loop.
        reportOrLog(QStringLiteral("未知错误"));
    }
}
