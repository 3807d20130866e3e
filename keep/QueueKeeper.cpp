// SPDX-License-Identifier: MIT
#include "keep/QueueKeeper.h"

#include "flow/DownloadSession.h"
#include "transfer/UrlDownloadService.h"

#include <QFileInfo>
#include <QSet>

QueueKeeper::QueueKeeper(DownloadSession &session, UrlDownloadService &downloads, StateFile &file, Keeps keeps,
                         QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_downloads(downloads)
    , m_keeps(keeps)
    , m_store(file, [this] { return snapshot(); })
{
    connect(&m_store, &QueueStore::saveFailed, this, &QueueKeeper::saveFailed);
    connect(&m_store, &QueueStore::saveRecovered, this, &QueueKeeper::saveRecovered);
    watch();
}

QueueKeeper::~QueueKeeper()
{
    m_store.flush();
}

KeptQueue QueueKeeper::snapshot() const
{
    KeptQueue kept;
    if (const std::optional<DownloadEntry> &active = m_session.flow().transferEntry())
        kept.active.append(*active);
    kept.queue = m_session.queue().entryList();
    if (m_keeps == Keeps::QueueAndHistory)
        kept.history = m_session.history().records();
    return kept;
}

void QueueKeeper::watch()
{
    const auto changed = [this] { m_store.changed(); };
    DownloadQueue &queue = m_session.queue();
    connect(&queue, &DownloadQueue::entriesInserted, this, changed);
    connect(&queue, &DownloadQueue::entryRemoved, this, changed);
    connect(&queue, &DownloadQueue::entryMoved, this, changed);
    connect(&queue, &DownloadQueue::entriesReset, this, changed);
    connect(&queue, &DownloadQueue::entryChanged, this, changed);
    // A part file a kill finds unrecorded can only be removed, and its bytes fetched again.
    connect(&m_session.flow(), &PageFlow::transferEntryChanged, this, [this] { m_store.changedNow(); });
    if (m_keeps == Keeps::QueueAndHistory) {
        DownloadHistory &history = m_session.history();
        connect(&history, &DownloadHistory::recordsInserted, this, changed);
        connect(&history, &DownloadHistory::recordRemoved, this, changed);
        connect(&history, &DownloadHistory::recordChanged, this, changed);
        connect(&history, &DownloadHistory::recordsReset, this, changed);
    }
}

QString QueueKeeper::restore(const QString &saveFolder)
{
    QueueStore::Opening opening = m_store.open();
    if (!opening.claimed)
        return opening.notice;
    QList<PartialFile> parts;
    QSet<QString> folders{saveFolder};
    for (const QList<DownloadEntry> *entries : {&opening.kept.queue, &opening.kept.history}) {
        for (const DownloadEntry &entry : *entries) {
            if (entry.part) {
                parts.append(*entry.part);
                folders.insert(QFileInfo(entry.part->target).absolutePath());
            }
        }
    }
    m_downloads.adoptPartials(parts, QStringList(folders.cbegin(), folders.cend()));
    m_downloads.keepPartsAtExit(true);
    const int restored = int(opening.kept.queue.size());
    m_session.queue().appendEntries(std::move(opening.kept.queue));
    if (m_keeps == Keeps::QueueAndHistory)
        m_session.history().recordAll(opening.kept.history);
    if (m_session.queue().currentUrl().isEmpty())
        m_session.queue().showHead();
    if (opening.notice.isEmpty())
        m_store.matchesFile();
    QStringList said;
    if (!opening.notice.isEmpty())
        said << opening.notice;
    if (restored > 0)
        said << QStringLiteral("已恢复 %1 个下载").arg(restored);
    if (opening.skippedLines > 0)
        said << QStringLiteral("跳过了 %1 行无法读取的内容").arg(opening.skippedLines);
    return said.join(QStringLiteral("; "));
}

bool QueueKeeper::startAfresh(QString &notice)
{
    const QueueStore::Opening opening = m_store.open();
    notice = opening.notice;
    if (!opening.claimed)
        return false;
    m_downloads.keepPartsAtExit(true);
    m_store.changed();
    return true;
}

void QueueKeeper::setKeeping(bool keeping)
{
    m_store.setEnabled(keeping);
    m_downloads.keepPartsAtExit(keeping);
}
