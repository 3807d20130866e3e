// SPDX-License-Identifier: MIT
#pragma once

#include "transfer/UrlDownloadService.h"

#include <functional>
#include <utility>

/** A URL download service that plays a script on the worker: for faults a real one rarely shows. */
class ScriptedService final : public UrlDownloadService
{
public:
    using Script = std::function<TransferOutcome(UrlDownloadCallback &)>;
    explicit ScriptedService(Script script) : m_script(std::move(script)) {}
    /** Before the Start that should play it. */
    void setScript(Script script) { m_script = std::move(script); }

    TransferOutcome downloadToFile(const QString &, const QString &, UrlDownloadCallback &callback) override
    {
        return m_script(callback);
    }

private:
    Script m_script;
};
