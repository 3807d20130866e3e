// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>

/**
 * The variables that the page flow, the page scanners and the transfer display share. One
 * instance, owned by the object that drives the flow; UI thread only. Time values are fractions
 * of a day (1.0 = 24 hours).
 */
struct MainUnitState
{
    // Page state.
    QString PageUrl;        // the page URL last opened
    QString FinalUrl;       // the file's direct URL from the countdown page
    QString FinalFileName;  // what follows FinalUrl's last "/"
    QString WaitText;       // slice cut after a marker, then the wait as h:m:s
    QString WaitNumber;     // the digits of the wait; keeps its value when no terminator is found
    QString CountdownText;  // the countdown as h:m:s
    double WaitDuration = 0.0;
    double StartTime = 0.0; // time of day at which the current wait (or transfer) began
    QString RemainingText;  // the remaining wait as hh:mm:ss
    QString SaveFolder;     // copy of the save folder, taken on every countdown tick
    std::int32_t MarkerFound = 0;

    // Transfer display.
    double ElapsedTime = 0.0;
    std::int32_t ElapsedSeconds = 0;
    std::uint32_t TotalSize = 0;
    std::uint32_t ReceivedSize = 0;
    QString EstimateText;
    double EstimatedTime = 0.0;
};
