// SPDX-License-Identifier: MIT
#pragma once

#include "automation/PageAction.h"

#include <QString>

#include <cstdint>
#include <optional>

class Clock;
class PageTextBuffer;
struct MainUnitState;

/**
 * The page scanners: each looks for its marker in the page text after the buffer's selection,
 * cuts the wait or the file URL out of the text, and leaves its results in the shared state. They
 * start no timer themselves; the returned PageAction says which one the flow must start.
 *
 * A failed number or time conversion throws QuorvelError with the slice and WaitNumber already
 * stored, StartTime and WaitDuration untouched and MarkerFound as it was (FindStill: as its
 * FindFinalURL left it). Thread contract: UI thread only.
 */
class PageScanners final
{
public:
    PageScanners(const PageTextBuffer &buffer, MainUnitState &state, const Clock &clock);

    /** "The file could not be found. ...": DeleteURLError, MarkerFound left to the flow. */
    PageAction FindError();
    /** "Unfortunately you will have to wait" N minutes: StartRetryWait. */
    PageAction FindWait();
    /** "var c=" N seconds: takes the final URL, then StartCountdown. */
    PageAction FindStill();
    /** "again in about" N minutes: StartRetryWait. */
    PageAction FindAbout();
    /** The download form's action URL into FinalUrl and FinalFileName; called by FindStill. */
    void FindFinalURL();

    /** WaitNumber := WaitText before its last ";"; no ";" leaves WaitNumber as it was. */
    void GetTime();
    /** WaitNumber := the number at the start of WaitText; an empty WaitText leaves it as it was. */
    void GetTimeAbout();
    /** FinalFileName := what follows url's last separator; no separator leaves it as it was. */
    void GetFileName(const QString &url, QChar separator);
    /** The text between the first startTag and the first endTag after it; empty if either is missing. */
    static QString URLCopy(const QString &text, const QString &startTag, const QString &endTag);

    /**
     * The search step: the 0-based position in the whole text of marker's first occurrence after
     * the end of the selection, or -1. Exposed for tools that show where a scanner looked.
     */
    qsizetype markerPosition(const QString &marker) const;

    /** The text cut after the marker by the last FindWait, FindStill or FindAbout that found it. */
    const QString &lastSlice() const { return m_lastSlice; }

    static const QString errorMarker;
    static const QString waitMarker;
    /**
     * A wait or countdown of hms ("HH:MM:SS") starts now: WaitDuration, StartTime, and MarkerFound
     * := 1. Every page reading, the built-in one and a layout's, starts its waits this way.
     */
    static void startWait(MainUnitState &state, const Clock &clock, const QString &hms);

    static const QString stillMarker;
    static const QString aboutMarker;
    static const QString finalUrlMarker;

private:
    /** The marker's position; absent: MarkerFound := 0 and nullopt. */
    std::optional<qsizetype> searchStep(const QString &marker);
    void storeSlice(const QString &slice);
    PageAction startRetryWait(std::int32_t minutes);

    const PageTextBuffer &m_buffer;
    MainUnitState &m_state;
    const Clock &m_clock;
    QString m_lastSlice;
};
