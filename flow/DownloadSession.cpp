// SPDX-License-Identifier: MIT
#include "flow/DownloadSession.h"

#include <algorithm>
#include <utility>

DownloadSession::DownloadSession(Services services, QObject *parent)
    : QObject(parent)
    , m_download(services.downloads, this)
    , m_shutdown(
          services.power, [this] { return !m_flow.runIsOver(); }, services.countdownStep, this)
    , m_flow({m_state, m_buffer, services.browser, m_queue, m_download, m_shutdown, services.clock, m_view,
              services.defaultFolder, services.retryBudget, services.layouts},
             this)
    , m_progress({m_state, m_download, services.clock, m_view}, this)
    , m_defaultFolder(services.defaultFolder)
{
    m_view.attach(services.view);
    m_download.setObjectName(QStringLiteral("DownloadFile1"));
    m_download.setErrorReporter([this](const QString &message) { m_view.showError(message); });
    // The flow follows the transfer it started to its end; the display shows what the flow says.
    m_download.setOnStart([this](QObject *) { m_flow.DownloadFile1Start(); });
    m_download.setOnProgress([this](QObject *, std::uint32_t received, std::uint32_t total) {
        m_flow.DownloadFile1Progress(received, total);
        m_progress.DownloadFile1Progress(received, total);
    });
    m_download.setOnFinish([this](QObject *, bool) { m_flow.DownloadFile1Finish(); });
    connect(&m_flow, &PageFlow::transferStarted, &m_progress, &TransferProgressDisplay::DownloadFile1Start);
    connect(&m_flow, &PageFlow::transferStopped, &m_progress, &TransferProgressDisplay::DownloadFile1Finish);

    connect(&m_progress, &TransferProgressDisplay::progressed, this, &DownloadSession::progressed);
    connect(&m_flow, &PageFlow::transferEnded, this, &DownloadSession::transferEnded);
    connect(&m_flow, &PageFlow::entryEnded, this, &DownloadSession::entryEnded);
    connect(&m_flow, &PageFlow::urlDropped, this, &DownloadSession::urlDropped);
    connect(&m_flow, &PageFlow::restingAtFailure, this, &DownloadSession::restingAtFailure);
    connect(&m_flow, &PageFlow::retryScheduled, this, &DownloadSession::retryScheduled);
    connect(&m_flow, &PageFlow::entryFailed, this, &DownloadSession::entryFailed);
    connect(&m_flow, &PageFlow::insecureConnection, this, &DownloadSession::insecureConnection);
    connect(&m_flow, &PageFlow::cameToRest, this, &DownloadSession::cameToRest);
    connect(&m_shutdown, &ShutdownSwitch::runHasWork, this, &DownloadSession::workStarted);

    connect(&m_flow, &PageFlow::entryEnded, &m_history, &DownloadHistory::record);
    connect(&m_flow, &PageFlow::entryEnded, &m_command, [this](const DownloadEntry &entry) {
        if (entry.state == DownloadEntry::State::Done && !entry.fileName.isEmpty())
            m_command.run(entry.id, entry.fileName);
    });
    connect(&m_command, &CompletionCommandRunner::finished, &m_history, &DownloadHistory::noteCommand);
    connect(&m_queue, &DownloadQueue::entriesDiscarded, this, &DownloadSession::recordRemoved);
    connect(&m_history, &DownloadHistory::partsForgotten, this, [this](const QList<PartialFile> &parts) {
        for (const PartialFile &part : parts)
            m_download.discardPartial(part.target);
    });
}

void DownloadSession::recordRemoved(const QList<DownloadEntry> &entries)
{
    for (const DownloadEntry &entry : entries) {
        if (entry.part)
            m_download.discardPartial(entry.part->target);
    }
    // Only the last ones stay in the history; changing a copy of all would hold them twice.
    QList<DownloadEntry> recorded = entries.sliced(
        std::max<qsizetype>(0, entries.size() - DownloadHistory::maxRecords));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (DownloadEntry &entry : recorded) {
        entry.state = DownloadEntry::State::Removed;
        entry.finished = now;
        entry.part.reset();
    }
    m_history.recordAll(recorded);
}

QString DownloadSession::saveFolder() const
{
    const QString chosen = m_view.saveFolder();
    return chosen.isEmpty() ? m_defaultFolder : chosen;
}

void DownloadSession::downloadAgain(DownloadEntry::Id id)
{
    if (m_queue.indexOf(id) >= 0) {
        m_queue.edit(id, [](DownloadEntry &entry) { entry.state = DownloadEntry::State::Waiting; });
        m_history.forget(id);
        return;
    }
    std::optional<DownloadEntry> entry = m_history.take(id);
    if (!entry)
        return;
    entry->state = DownloadEntry::State::Waiting;
    entry->finished = QDateTime();
    m_queue.insert(m_queue.count(), *std::move(entry));
    // With nothing current a start would find nothing to open.
    if (m_queue.currentUrl().isEmpty() && !transferRunning())
        m_queue.showHead();
}
