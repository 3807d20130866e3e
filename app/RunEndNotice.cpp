// SPDX-License-Identifier: MIT
#include "app/RunEndNotice.h"

#include "common/UserNotifier.h"
#include "flow/DownloadSession.h"

#include <QWidget>

RunEndNotice::RunEndNotice(DownloadSession &session, UserNotifier &notifier, const QWidget &window, QObject *parent)
    : QObject(parent), m_notifier(notifier), m_window(window)
{
    connect(&session, &DownloadSession::entryEnded, this,
            [this](const DownloadEntry &entry) { m_tally.record(entry); });
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
        m_notifier.notify(title,
                          QStringLiteral("完成 %1 个文件, 丢弃 %2, 失败 %3")
                              .arg(m_tally.done())
                              .arg(m_tally.dropped())
                              .arg(m_tally.failed()));
    // The next start begins a new run.
    m_tally.clear();
}
