// SPDX-License-Identifier: MIT
#pragma once

#include "power/SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

/**
 * A "block" inhibitor lock on sleep and idle from systemd-logind: the lock is the file descriptor
 * that Inhibit returns, held while it is open and given back by closing it (logind also frees it
 * when the process ends). Shutdown is never inhibited, so the program's own power-off stays free.
 * The program hands it the system bus; tests a private bus with a fake login1. UI thread only.
 */
class LogindSleepInhibitor final : public SleepInhibitor
{
public:
    explicit LogindSleepInhibitor(QDBusConnection connection);

    void hold(const QString &why, Refusal refused) override;
    void release() override;

private:
    QDBusConnection m_connection;
    QDBusUnixFileDescriptor m_lock;
    /** Counts the holds: an answer to any but the latest one is dropped, and its lock with it. */
    quint64 m_hold = 0;
    bool m_wanted = false;
    /** Owns the calls on their way: an answer never comes after the inhibitor is gone. */
    QObject m_calls;
};
