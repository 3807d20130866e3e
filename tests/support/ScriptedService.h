// SPDX-License-Identifier: MIT
#pragma once

#include "transfer/UrlDownloadService.h"

#include <QStringList>
#include <QThread>

#include <atomic>
#include <functional>
#include <mutex>
#include <utility>

/** A URL download service that plays a script on the worker: for faults a real one rarely shows. */
class ScriptedService final : public UrlDownloadService
{
public:
    using Script = std::function<TransferOutcome(UrlDownloadCallback &)>;
    explicit ScriptedService(Script script) : m_script(std::move(script)) {}
    /** A transfer that has begun and ends done once go is true: a run held in mid-transfer. */
    static Script doneOnceReleased(const std::atomic<bool> &go)
    {
        return [&go](UrlDownloadCallback &callback) {
            callback.onStartBinding();
            while (!go)
                QThread::msleep(1);
            callback.onStopBinding(TransferOutcome::done());
            return TransferOutcome::done();
        };
    }
    /**
     * Before the Start that should play it. The worker of the previous transfer may still be
     * returning from its script after it has reported its end: it plays a copy of its own.
     */
    void setScript(Script script)
    {
        const std::lock_guard lock(m_scriptMutex);
        m_script = std::move(script);
    }

    TransferOutcome downloadToFile(const QString &, const QString &, UrlDownloadCallback &callback) override
    {
        const Script script = [this] {
            const std::lock_guard lock(m_scriptMutex);
            return m_script;
        }();
        return script(callback);
    }
    void discardPartial(const QString &fileName) override { discarded.append(fileName); }
    void adoptPartials(const QList<PartialFile> &parts, const QStringList &folders) override
    {
        adopted = parts;
        swept = folders;
    }
    void keepPartsAtExit(bool keep) override { keepsPartsAtExit = keep; }

    /** The file names discardPartial() was called for. */
    QStringList discarded;
    /** What adoptPartials() was last given. */
    QList<PartialFile> adopted;
    QStringList swept;
    bool keepsPartsAtExit = false;

private:
    std::mutex m_scriptMutex;
    Script m_script;
};
