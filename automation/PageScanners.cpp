// SPDX-License-Identifier: MIT
#include "automation/PageScanners.h"

#include "automation/AttributeText.h"
#include "automation/Clock.h"
#include "automation/MainUnitState.h"
#include "automation/PageTextBuffer.h"
#include "automation/TextConversions.h"

#include <algorithm>
#include <limits>
#include <optional>

const QString PageScanners::errorMarker =
    QStringLiteral("The file could not be found. Please check the download link.");
const QString PageScanners::waitMarker = QStringLiteral("Unfortunately you will have to wait");
const QString PageScanners::stillMarker = QStringLiteral("var c=");
const QString PageScanners::aboutMarker = QStringLiteral("again in about");
const QString PageScanners::finalUrlMarker = QStringLiteral("action=\"http");

namespace {

// The pages put one blank between a marker and its number, so the number starts at the second
// character after the marker.
constexpr qsizetype waitNumberOffset = 36;  // "Unfortunately you will have to wait" is 35 long
constexpr qsizetype aboutSliceOffset = 15;  // "again in about" is 14 long
constexpr qsizetype aboutSliceLength = 11;
constexpr qsizetype stillMinSliceLength = 4;

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

qsizetype digitsEnd(const QString &text, qsizetype from)
{
    while (from < text.size() && isDigit(text.at(from)))
        ++from;
    return from;
}

// The character at from and the decimal digits right after it. Taking the first character
// whatever it is keeps a page without a number failing the integer conversion, with that
// character in the message, rather than silently reading nothing.
QString numberAt(const QString &text, qsizetype from)
{
    if (from >= text.size())
        return {};
    return text.sliced(from, digitsEnd(text, from + 1) - from);
}

// The countdown window: at least four characters, and always the whole number (blanks, sign,
// digits) plus the one character after it, where the ";" belongs.
qsizetype stillSliceLength(const QString &text, qsizetype from)
{
    qsizetype end = from;
    while (end < text.size() && text.at(end) == u' ')
        ++end;
    if (end < text.size() && (text.at(end) == u'+' || text.at(end) == u'-'))
        ++end;
    end = digitsEnd(text, end);
    return std::max(stillMinSliceLength, end - from + 1);
}

// FormatSecsToHMS keeps hours in 16 bits, so a wait of about 65,536 hours or more would wrap round
// to a short valid time (235,929,600 s reads "0:0:0"). Such waits saturate instead and fail the
// time conversion like every wait of a day or more; smaller ones keep their own text.
std::int32_t boundedSeconds(std::int64_t seconds)
{
    constexpr std::int64_t wrapFreeLimit = std::int64_t{65000} * 3600;
    if (seconds >= wrapFreeLimit)
        return std::numeric_limits<std::int32_t>::max();
    if (seconds <= -wrapFreeLimit)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(seconds);
}

} // namespace

PageScanners::PageScanners(const PageTextBuffer &buffer, MainUnitState &state, const Clock &clock)
    : m_buffer(buffer), m_state(state), m_clock(clock)
{
}

qsizetype PageScanners::markerPosition(const QString &marker) const
{
    return m_buffer.text().indexOf(marker, m_buffer.selStart() + m_buffer.selLength());
}

std::optional<qsizetype> PageScanners::searchStep(const QString &marker)
{
    const qsizetype p = markerPosition(marker);
    if (p < 0) {
        m_state.MarkerFound = 0;
        return std::nullopt;
    }
    return p;
}

PageAction PageScanners::FindError()
{
    return searchStep(errorMarker) ? PageAction::DeleteURLError : PageAction::None;
}

PageAction PageScanners::FindWait()
{
    const auto p = searchStep(waitMarker);
    if (!p)
        return PageAction::None;
    storeSlice(numberAt(m_buffer.text(), *p + waitNumberOffset));
    return startRetryWait(textToInteger(m_state.WaitText));
}

PageAction PageScanners::FindStill()
{
    const auto p = searchStep(stillMarker);
    if (!p)
        return PageAction::None;
    const QString &text = m_buffer.text();
    const qsizetype from = *p + stillMarker.size();
    storeSlice(text.mid(from, stillSliceLength(text, from)));
    GetTime();
    FindFinalURL();
    m_state.CountdownText = FormatSecsToHMS(boundedSeconds(textToInteger(m_state.WaitNumber)));
    startWait(m_state, m_clock, m_state.CountdownText);
    return PageAction::StartCountdown;
}

PageAction PageScanners::FindAbout()
{
    const auto p = searchStep(aboutMarker);
    if (!p)
        return PageAction::None;
    storeSlice(m_buffer.text().mid(*p + aboutSliceOffset, aboutSliceLength));
    GetTimeAbout();
    return startRetryWait(textToInteger(m_state.WaitNumber));
}

void PageScanners::FindFinalURL()
{
    const auto p = searchStep(finalUrlMarker);
    if (!p)
        return;
    m_state.FinalUrl = attributeText(URLCopy(m_buffer.text().sliced(*p), QStringLiteral("action=\""),
                                             QStringLiteral("\"")));
    GetFileName(m_state.FinalUrl, u'/');
    m_state.MarkerFound = 1;
}

void PageScanners::GetTime()
{
    const qsizetype i = m_state.WaitText.lastIndexOf(u';');
    if (i >= 0)
        m_state.WaitNumber = m_state.WaitText.first(i);
}

void PageScanners::GetTimeAbout()
{
    if (!m_state.WaitText.isEmpty())
        m_state.WaitNumber = numberAt(m_state.WaitText, 0);
}

void PageScanners::GetFileName(const QString &url, QChar separator)
{
    const qsizetype i = url.lastIndexOf(separator);
    if (i >= 0)
        m_state.FinalFileName = url.sliced(i + 1);
}

QString PageScanners::URLCopy(const QString &text, const QString &startTag, const QString &endTag)
{
    const qsizetype start = text.indexOf(startTag);
    if (start < 0)
        return {};
    const qsizetype a = start + startTag.size();
    const qsizetype b = text.indexOf(endTag, a);
    if (b < 0)
        return {};
    return text.sliced(a, b - a);
}

void PageScanners::storeSlice(const QString &slice)
{
    m_lastSlice = slice;
    m_state.WaitText = slice;
}

PageAction PageScanners::startRetryWait(std::int32_t minutes)
{
    m_state.WaitText = FormatSecsToHMS(boundedSeconds(std::int64_t{minutes} * 60));
    startWait(m_state, m_clock, m_state.WaitText);
    return PageAction::StartRetryWait;
}

void PageScanners::startWait(MainUnitState &state, const Clock &clock, const QString &hms)
{
    state.WaitDuration = textToTime(hms);
    state.StartTime = clock.timeOfDay();
    state.MarkerFound = 1;
}
