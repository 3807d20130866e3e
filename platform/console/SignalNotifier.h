// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QSocketNotifier;

/**
 * Turns SIGINT, SIGTERM and SIGHUP into a Qt signal on the thread that created the notifier: the POSIX
 * handler only writes a byte to a pipe, and the event loop reads it. One instance per process.
 * Thread contract: create and destroy on the UI thread; interrupted() is emitted there.
 */
class SignalNotifier final : public QObject
{
    Q_OBJECT
public:
    explicit SignalNotifier(QObject *parent = nullptr);
    ~SignalNotifier() override;

signals:
    /** SIGINT, SIGTERM or SIGHUP arrived; signalNumber tells which. */
    void interrupted(int signalNumber);

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};
