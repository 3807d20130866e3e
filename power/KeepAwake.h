// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

class SleepInhibitor;

/**
 * Keeps the machine from suspending while the run has work: one sleep lock from the first work
 * (a page, a countdown or wait, a transfer, a retry wait) until the run comes to rest or is
 * stopped, however much work comes in between. Without a lock the run goes on as before; the
 * user is told once. UI thread only.
 */
class KeepAwake final : public QObject
{
    Q_OBJECT

public:
    /** What the desktop shows for the lock. */
    static inline const QString why = QStringLiteral("正在下载");

    explicit KeepAwake(SleepInhibitor &inhibitor, QObject *parent = nullptr);
    /**
     * Follows run, a download session or anything else that says workStarted() and
     * cameToRest(reason) as it does.
     */
    template <class Run> KeepAwake(SleepInhibitor &inhibitor, Run &run, QObject *parent = nullptr)
        : KeepAwake(inhibitor, parent)
    {
        connect(&run, &Run::workStarted, this, &KeepAwake::workStarted);
        connect(&run, &Run::cameToRest, this, &KeepAwake::cameToRest);
    }
    ~KeepAwake() override;

    /** The run has work: takes the lock unless it is held or asked for already. */
    void workStarted();
    /** The run came to rest, a stop included: gives the lock back. */
    void cameToRest();

signals:
    /** The first time a lock could not be had; warning says why, for the user. */
    void unavailable(const QString &warning);

private:
    void refused(const QString &whyNot);

    SleepInhibitor &m_inhibitor;
    // From the request on, granted or not: a run without a lock asks once, not at each page.
    bool m_held = false;
    bool m_warned = false;
};
