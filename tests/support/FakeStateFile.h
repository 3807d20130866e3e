// SPDX-License-Identifier: MIT
#pragma once

#include "common/StateFile.h"

#include <QStringList>

#include <atomic>
#include <mutex>

/** A state file in memory that can refuse to be written, counting what was done to it. */
class FakeStateFile final : public StateFile
{
public:
    QString path() const override { return QStringLiteral("/state/queue.txt"); }
    bool claim(QString &why) override
    {
        why = QStringLiteral("taken");
        return claimable;
    }
    std::optional<QByteArray> read(QString &why) override
    {
        why.clear();
        return content();
    }
    bool replace(const QByteArray &bytes, QString &why) override
    {
        const std::lock_guard lock(m_mutex);
        ++replaces;
        if (full) {
            why = QStringLiteral("No space left on device");
            return false;
        }
        m_content = bytes;
        return true;
    }
    QString moveAside(QString &) override
    {
        const std::lock_guard lock(m_mutex);
        aside = *std::exchange(m_content, std::nullopt);
        return QStringLiteral("/state/queue.txt.unreadable-1");
    }
    bool remove(QString &) override
    {
        const std::lock_guard lock(m_mutex);
        m_content.reset();
        return true;
    }

    std::optional<QByteArray> content() const
    {
        const std::lock_guard lock(m_mutex);
        return m_content;
    }
    void setContent(const QByteArray &bytes)
    {
        const std::lock_guard lock(m_mutex);
        m_content = bytes;
    }

    bool claimable = true;
    std::atomic<bool> full{false};
    std::atomic<int> replaces{0};
    QByteArray aside;

private:
    mutable std::mutex m_mutex;
    std::optional<QByteArray> m_content;
};
