// SPDX-License-Identifier: MIT
#pragma once

#include "transfer/UrlDownloadService.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>

class Clock;
class DownloadQueue;
class FlowView;
class PageFlow;
class ShutdownSwitch;
class TDownloadFile;
struct MainUnitState;

/**
 * Follows the download component's transfer: takes the started URL off the queue, fills the
 * progress fields and the status bar, and when the file ends clears them and hands the queue back
 * to the page flow. Binds itself to the component's OnStart, OnProgress and OnFinish.
 * Thread contract: UI thread only.
 */
class TransferProgressDisplay final : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        MainUnitState &state;
        DownloadQueue &queue;
        TDownloadFile &download;
        PageFlow &flow;
        ShutdownSwitch &shutdown;
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
    /** Every progress notification, in KiB as the component counts them. */
    void progressed(std::uint32_t receivedKiB, std::uint32_t totalKiB);
    /** A transfer ended: its page URL, the file it saved to (or would have) and how it went. */
    void transferEnded(const QString &pageUrl, const QString &fileName, const TransferOutcome &outcome);

private:
    void showEstimate();

    Parts m;
    QTimer m_elpsTimer;
    QTimer m_estTimer;
    QString m_pageUrl;
};
