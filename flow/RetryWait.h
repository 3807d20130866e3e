// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

class Clock;
class FlowView;

/**
 * The wait before an entry is tried again, counted on the flow's clock like the page waits: the
 * status bar shows the retry text, the time left and the reason, once a second. UI thread only.
 */
class RetryWait final : public QObject
{
    Q_OBJECT
public:
    RetryWait(const Clock &clock, FlowView &view, QObject *parent = nullptr);

    void start(std::chrono::seconds wait, const QString &reason);
    /** Ends the wait without over(). */
    void stop();
    bool isActive() const { return m_timer.isActive(); }

    QTimer &timer() { return m_timer; }
    /** One tick; public so that a test can drive the wait on a manual clock. */
    void tick();

signals:
    /** The wait has run out: the entry is to be tried now. */
    void over();

private:
    const Clock &m_clock;
    FlowView &m_view;
    QTimer m_timer;
    double m_startTime = 0.0;
    double m_duration = 0.0;
    QString m_reason;
};
