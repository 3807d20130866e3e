// SPDX-License-Identifier: MIT
#include "flow/DownloadSession.h"

DownloadSession::DownloadSession(Services services, QObject *parent)
    : QObject(parent)
    , m_download(services.downloads, this)
    , m_shutdown(
          services.power, [this] { return !m_flow.runIsOver(); }, services.countdownStep, this)
    , m_flow({m_state, m_buffer, services.browser, m_queue, m_download, m_shutdown, services.clock, m_view,
              services.defaultFolder, services.retryBudget, services.layouts},
             this)
    , m_progress({m_state, m_queue, m_download, m_flow, m_shutdown, services.clock, m_view}, this)
{
    m_view.attach(services.view);
    m_download.setObjectName(QStringLiteral("DownloadFile1"));
    m_download.setErrorReporter([this](const QString &message) { m_view.showError(message); });
    connect(&m_flow, &PageFlow::cameToRest, this, &DownloadSession::cameToRest);
    connect(&m_shutdown, &ShutdownSwitch::runHasWork, this, &DownloadSession::workStarted);
}
