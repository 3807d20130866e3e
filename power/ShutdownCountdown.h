// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

/**
 * The last chance to keep the machine on: counts whole seconds down and reports expiry once.
 * Whoever shows it follows started/tick/finished and calls cancel() when the user says no.
 * UI thread only.
 */
class ShutdownCountdown final : public QObject
{
    Q_OBJECT

public:
    /** step is the length of one counted second; tests shorten it. */
    explicit ShutdownCountdown(std::chrono::milliseconds step = std::chrono::seconds(1),
                               QObject *parent = nullptr);

    /**
     * Counts down from seconds; reason says in a few words why the machine goes off ("下载已完成").
     * Answers false and changes nothing while a count runs.
     */
    bool start(int seconds, const QString &reason);
    /** The user's no: ends a running count with cancelled(), then finished(). */
    void cancel();
    /** The program's own no, e.g. a transfer began: ends a running count with finished() only. */
    void withdraw();

    bool isRunning() const;
    int remaining() const;
    /** Why the running (or last) count was started. */
    QString reason() const;

signals:
    void started(int seconds);
    void tick(int remaining);
    void expired();
    void cancelled();
    /** Follows expiry, cancel and withdrawal alike: the count is over and its view can go. */
    void finished();

private:
    void countOneSecond();
    /** Answers whether a count was running. */
    bool stop();

    QTimer m_timer;
    int m_remaining = 0;
    QString m_reason;
};
