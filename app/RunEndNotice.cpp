// SPDX-License-Identifier: MIT
#include "app/RunEndNotice.h"

#include "common/UserNotifier.h"
#include "flow/DownloadSession.h"

#include <QWidget>

RunEndNotice::RunEndNotice(DownloadSession &session, UserNotifier &notifier, const QWidget &window, QObject *parent)
    : QObject(parent), m_notifier(notifier), m_window(window)
{
    connect(&session, &DownloadSession::transferEnded, this,
            [this](const QString &, const QString &, const TransferOutcome &outcome) {
                if (outcome.kind == TransferOutcome::Kind::Done)
                    ++m_done;
                else if (outcome.kind == TransferOutcome::Kind::Failed)
                    ++m_failed;
            });
    connect(&session, &DownloadSession::urlDropped, this, [this] { ++m_dropped; });
    connect(&session, &DownloadSession::cameToRest, this, &RunEndNotice::cameToRest);
}

void RunEndNotice::cameToRest(RestReason reason)
{
    QString title;
    switch (reason) {
    case RestReason::QueueDone:
        title = QStringLiteral("下载完成");
        break;
    case RestReason::RestingAtFailure:
        title = QStringLiteral("下载停在已失败的网址");
        break;
    case RestReason::UnrecognisedPage:
        title = QStringLiteral("下载停在无法识别的页面");
        break;
    case RestReason::Stopped:
        break;
    }
    if (!title.isEmpty() && !m_window.isActiveWindow())
        m_notifier.notify(title, QStringLiteral("完成 %1 个文件, 丢弃 %2, 失败 %3").arg(m_done).arg(m_dropped).arg(m_failed));
    // The next start begins a new run.
    m_done = m_dropped = m_failed = 0;
}
