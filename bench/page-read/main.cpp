// SPDX-License-Identifier: MIT
// Times the page-read step (parse, serialize the body, normalise it into the buffer, run the
// dispatch's scanners) on generated countdown pages and prints medians as a table.
#include "automation/Clock.h"
#include "automation/MainUnitState.h"
#include "automation/PageScanners.h"
#include "automation/PageTextBuffer.h"
#include "bench/page-read/PageGenerator.h"
#include "platform/web/HtmlDocument.h"

#include <QElapsedTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Timings
{
    std::vector<double> parse, buffer, scan, total;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double msSince(QElapsedTimer &timer)
{
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    return ms;
}

void readOnce(const QByteArray &page, Timings &timings)
{
    QElapsedTimer timer;
    timer.start();
    const auto document = HtmlDocument::parse(page, QUrl(QStringLiteral("http://bench.example/file")));
    const QString body = document->bodyInnerHtml();
    const double parse = msSince(timer);

    PageTextBuffer buffer;
    buffer.replaceText(body);
    const double normalise = msSince(timer);

    MainUnitState state;
    const SystemClock clock;
    PageScanners scanners(buffer, state, clock);
    if (scanners.FindError() != PageAction::None || scanners.FindWait() != PageAction::None
        || scanners.FindStill() != PageAction::StartCountdown || state.FinalFileName != u"report.zip")
        std::fprintf(stderr, "the generated page was not read as a countdown page\n");
    const double scan = msSince(timer);

    timings.parse.push_back(parse);
    timings.buffer.push_back(normalise);
    timings.scan.push_back(scan);
    timings.total.push_back(parse + normalise + scan);
}

} // namespace

int main()
{
    struct Size
    {
        const char *label;
        qsizetype bytes;
        int runs;
    };
    const Size sizes[] = {{"100 KiB", 100 * 1024, 15}, {"1 MiB", 1024 * 1024, 9}, {"10 MiB", 10 * 1024 * 1024, 5}};

    std::printf("| page | runs | parse + serialize (ms) | into buffer (ms) | scanners (ms) | total (ms) |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (const Size &size : sizes) {
        const QByteArray page = PageGenerator::countdownPage(size.bytes);
        Timings timings;
        for (int run = 0; run < size.runs; ++run)
            readOnce(page, timings);
        std::printf("| %s | %d | %.2f | %.2f | %.2f | %.2f |\n", size.label, size.runs, median(timings.parse),
                    median(timings.buffer), median(timings.scan), median(timings.total));
    }
    return 0;
}
