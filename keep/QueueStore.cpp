// SPDX-License-Identifier: MIT
#include "keep/QueueStore.h"

#include "common/StateFile.h"

QueueStore::QueueStore(StateFile &file, std::function<KeptQueue()> snapshot, std::chrono::milliseconds coalesce,
                       QObject *parent)
    : QObject(parent)
    , m_file(file)
    , m_snapshot(std::move(snapshot))
    , m_writer([this] { writeLoop(); })
{
    m_coalesce.setSingleShot(true);
    m_coalesce.setInterval(coalesce);
    connect(&m_coalesce, &QTimer::timeout, this, &QueueStore::handOver);
}

QueueStore::~QueueStore()
{
    flush();
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_writer.join();
}

bool QueueStore::claim()
{
    QString why;
    m_claimed = m_file.claim(why);
    if (!m_claimed)
        emit saveFailed(QStringLiteral("下载列表不会保存: %1").arg(why));
    return m_claimed;
}

QueueStore::Opening QueueStore::open()
{
    Opening opening;
    QString why;
    opening.claimed = m_claimed = m_file.claim(why);
    if (!m_claimed) {
        // Another process writes the file: its queue is its own, and reading it here would run
        // the same entries twice.
        opening.notice = QStringLiteral("下载列表不会保存: %1").arg(why);
        return opening;
    }
    const std::optional<QByteArray> content = m_file.read(why);
    if (!content && why.isEmpty())
        return opening;
    QString unreadable = why;
    if (content) {
        KeptQueueText::Reading reading = KeptQueueText::read(*content);
        unreadable = reading.unreadable;
        if (unreadable.isEmpty()) {
            opening.kept = std::move(reading.kept);
            opening.skippedLines = reading.skippedLines;
            return opening;
        }
    }
    QString asideWhy;
    const QString aside = m_file.moveAside(asideWhy);
    if (aside.isEmpty()) {
        // Saving over it would lose what a person may still recover from it.
        m_claimed = opening.claimed = false;
        opening.notice = QStringLiteral("保存的下载列表无法读取 (%1), 也不能改名 (%2); 下载列表不会保存")
                             .arg(unreadable, asideWhy);
        return opening;
    }
    opening.notice = QStringLiteral("保存的下载列表无法读取 (%1), 已改名为 %2").arg(unreadable, aside);
    return opening;
}

void QueueStore::changed()
{
    if (m_claimed && m_enabled && !m_coalesce.isActive())
        m_coalesce.start();
}

void QueueStore::changedNow()
{
    if (!m_claimed || !m_enabled)
        return;
    m_coalesce.stop();
    handOver();
}

void QueueStore::handOver()
{
    {
        std::lock_guard lock(m_mutex);
        m_pending = m_snapshot();
    }
    m_wake.notify_all();
}

void QueueStore::flush()
{
    if (m_coalesce.isActive()) {
        m_coalesce.stop();
        handOver();
    }
    std::unique_lock lock(m_mutex);
    m_written.wait(lock, [this] { return !m_pending && !m_writing; });
}

void QueueStore::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (enabled) {
        // Kept off from the start, the file was never claimed.
        if (m_claimed || claim())
            handOver();
        return;
    }
    if (!m_claimed)
        return;
    m_coalesce.stop();
    {
        std::unique_lock lock(m_mutex);
        m_pending.reset();
        m_written.wait(lock, [this] { return !m_writing; });
    }
    QString why;
    if (!m_file.remove(why))
        emit saveFailed(QStringLiteral("不能删除保存的下载列表: %1").arg(why));
}

namespace {
// The snapshot's lists are the queue's own, shared until one side changes: a change on the UI
// thread while a save of 100,000 entries is written would copy them all there. Copied here at
// once, they are shared for the copy's few milliseconds instead of the whole save.
KeptQueue ownCopy(KeptQueue shared)
{
    const auto copied = [](const QList<DownloadEntry> &list) {
        return QList<DownloadEntry>(list.cbegin(), list.cend());
    };
    return {copied(shared.active), copied(shared.queue), copied(shared.history)};
}
} // namespace

void QueueStore::writeLoop()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_pending || m_stopping; });
        if (!m_pending)
            return;
        KeptQueue shared = *std::exchange(m_pending, std::nullopt);
        m_writing = true;
        lock.unlock();
        const KeptQueue kept = ownCopy(std::move(shared));
        QString why;
        const bool ok = m_file.replace(KeptQueueText::write(kept), why);
        QMetaObject::invokeMethod(
            this, [this, ok, why] { reportResult(ok, why); }, Qt::QueuedConnection);
        lock.lock();
        m_writing = false;
        m_written.notify_all();
    }
}

void QueueStore::reportResult(bool ok, const QString &why)
{
    if (ok && m_failing) {
        m_failing = false;
        emit saveRecovered();
    } else if (!ok && !m_failing) {
        m_failing = true;
        emit saveFailed(QStringLiteral("不能保存下载列表: %1").arg(why));
    }
}
