// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>

class Clock;
class FlowView;
class TDownloadFile;
struct MainUnitState;

/**
 * Shows the download component's transfer: fills the progress fields and the status bar from its
 * start and progress, and clears them at its end. It only shows: the page flow takes in the
 * transfer's end and goes on with the queue. Thread contract: UI thread only.
 */
class TransferProgressDisplay final : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        MainUnitState &state;
        TDownloadFile &download;
        const Clock &clock;
        FlowView &view;
    };

    explicit TransferProgressDisplay(Parts parts, QObject *parent = nullptr);

    void DownloadFile1Start();
    void DownloadFile1Progress(std::uint32_t receivedKiB, std::uint32_t totalKiB);
    void DownloadFile1Finish();
    void ElpsTimerTimer();
    void EstTimerTimer();

    QTimer &ElpsTimer() { return m_elpsTimer; }
    QTimer &EstTimer() { return m_estTimer; }

signals:
    /** Every progress notification, in KiB as the component counts them, once it is shown. */
    void progressed(std::uint32_t receivedKiB, std::uint32_t totalKiB);

private:
    void showEstimate();

    Parts m;
    QTimer m_elpsTimer;
    QTimer m_estTimer;
};
