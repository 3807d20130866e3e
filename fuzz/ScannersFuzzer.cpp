// SPDX-License-Identifier: MIT
// Arbitrary page text through the buffer, every scanner and every conversion. Conversion errors
// are the expected answer to most inputs; anything else (a crash, a sanitizer report, a scanner
// that acts after the error line was appended) is a finding.
#include "automation/Clock.h"
#include "automation/MainUnitState.h"
#include "automation/PageScanners.h"
#include "automation/PageTextBuffer.h"
#include "automation/TextConversions.h"
#include "common/QuorvelError.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>

namespace {

class FixedClock final : public Clock
{
public:
    double timeOfDay() const override { return 0.5; }
};

void tolerateConversionErrors(const std::function<void()> &step)
{
    try {
        step();
    } catch (const QuorvelError &) {
    }
}

void scanAll(PageScanners &scanners, MainUnitState &state)
{
    for (auto scan : {&PageScanners::FindError, &PageScanners::FindWait, &PageScanners::FindStill,
                      &PageScanners::FindAbout}) {
        tolerateConversionErrors([&] { (scanners.*scan)(); });
        if (state.MarkerFound != 0 && state.MarkerFound != 1)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data),
                                           static_cast<qsizetype>(size));
    PageTextBuffer buffer;
    MainUnitState state;
    FixedClock clock;
    PageScanners scanners(buffer, state, clock);
    buffer.setOnChange([&] { scanAll(scanners, state); });

    buffer.replaceText(text);
    if (buffer.text().contains(u'\n') && !buffer.text().contains(u"\r\n"))
        std::abort();
    tolerateConversionErrors([&] { textToInteger(text); });
    tolerateConversionErrors([&] { textToTime(text); });
    tolerateConversionErrors([&] { textToTime(FormatSecsToHMS(textToInteger(state.WaitNumber))); });
    scanners.GetFileName(state.FinalUrl, u'/');

    // After the error line the caret is at the end: no scanner may act any more.
    buffer.setOnChange({});
    buffer.appendLine(QStringLiteral("No Web Document Body HTML"));
    state.MarkerFound = 1;
    if (scanners.FindError() != PageAction::None || scanners.FindWait() != PageAction::None
        || scanners.FindStill() != PageAction::None || scanners.FindAbout() != PageAction::None
        || state.MarkerFound != 0)
        std::abort();
    return 0;
}
