// SPDX-License-Identifier: MIT
#pragma once

#include "common/StateFile.h"

#include <QLockFile>

#include <memory>

/**
 * A state file on the local disk. Its writer's claim is a lock file beside it that names the
 * process: one left by a process that is gone (a crash, a kill, a power cut) is taken over.
 * Each replacement is a new file, flushed to the disk, renamed over the old one, and the folder
 * flushed too, so that a cut at any moment leaves one whole version.
 *
 * Thread contract: as StateFile's.
 */
class LocalStateFile final : public StateFile
{
public:
    /** No kept queue comes near this; a larger file is not one. */
    static constexpr qint64 maxBytes = qint64(512) * 1024 * 1024;

    explicit LocalStateFile(QString path);
    ~LocalStateFile() override;

    /** $XDG_STATE_HOME/quorvel/queue.txt, ~/.local/state/quorvel/queue.txt by default. */
    static QString standardPath();

    QString path() const override { return m_path; }
    bool claim(QString &why) override;
    std::optional<QByteArray> read(QString &why) override;
    bool replace(const QByteArray &content, QString &why) override;
    QString moveAside(QString &why) override;
    bool remove(QString &why) override;

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
