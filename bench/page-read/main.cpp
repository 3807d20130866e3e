// SPDX-License-Identifier: MIT
// Times the page-read step (parse, serialize the body, normalise it into the buffer, run the
// dispatch's scanners) on generated countdown pages beside gumbo's bare parse of the same page,
// and prints medians and each size's peak memory as a table.
#include "automation/Clock.h"
#include "automation/MainUnitState.h"
#include "automation/PageScanners.h"
#include "automation/PageTextBuffer.h"
#include "bench/page-read/PageGenerator.h"
#include "platform/web/HtmlDocument.h"

#include <gumbo.h>

#include <QElapsedTimer>
#include <QUrl>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Timings
{
    std::vector<double> gumbo, parse, buffer, scan, total;
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

// gumbo alone, with malloc and no error records: the floor the engine's own work is added to.
double bareGumboMs(const QByteArray &page)
{
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    QElapsedTimer timer;
    timer.start();
    GumboOutput *output = gumbo_parse_with_options(&options, page.constData(), size_t(page.size()));
    const double ms = msSince(timer);
    gumbo_destroy_output(&options, output);
    return ms;
}

void readOnce(const QByteArray &page, Timings &timings)
{
    // The engine's bounds but for memory, so that the table shows what a large page costs.
    ParseBudget budget;
    budget.maxBytes = std::size_t(-1);
    budget.maxNodes = std::size_t(-1);
    QElapsedTimer timer;
    timer.start();
    const auto parsed = HtmlDocument::parseWithin(page, QUrl(QStringLiteral("http://bench.example/file")), budget);
    if (!parsed.document) {
        std::fprintf(stderr, "the generated page was refused\n");
        return;
    }
    const QString body = parsed.document->bodyInnerHtml();
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

struct Size
{
    const char *label;
    qsizetype bytes;
    int runs;
};

// The peak resident memory of a process that builds the page and does one read of it: each side
// in its own process, so that neither's peak hides the other's.
long peakMiBOf(qsizetype pageBytes, void (*read)(const QByteArray &))
{
    int channel[2];
    if (pipe(channel) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        read(PageGenerator::countdownPage(pageBytes));
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const long peak = usage.ru_maxrss / 1024;
        _exit(write(channel[1], &peak, sizeof peak) == sizeof peak ? 0 : 1);
    }
    close(channel[1]);
    long peak = -1;
    if (::read(channel[0], &peak, sizeof peak) != sizeof peak)
        peak = -1;
    close(channel[0]);
    waitpid(child, nullptr, 0);
    return peak;
}

void gumboOnce(const QByteArray &page)
{
    bareGumboMs(page);
}

void engineOnce(const QByteArray &page)
{
    Timings ignored;
    readOnce(page, ignored);
}

void printRow(const Size &size)
{
    const long gumboPeak = peakMiBOf(size.bytes, gumboOnce);
    const long enginePeak = peakMiBOf(size.bytes, engineOnce);
    // The timings run in a process of their own too; the two sides take turns in it, so that
    // each reuses the memory the other gave back and neither pays alone for fresh pages.
    const pid_t child = fork();
    if (child != 0) {
        waitpid(child, nullptr, 0);
        return;
    }
    const QByteArray page = PageGenerator::countdownPage(size.bytes);
    Timings timings;
    for (int run = 0; run < size.runs; ++run) {
        timings.gumbo.push_back(bareGumboMs(page));
        readOnce(page, timings);
    }
    const double gumbo = median(timings.gumbo);
    const double total = median(timings.total);
    std::printf("| %s | %d | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.0f%% | %ld | %ld |\n", size.label, size.runs,
                gumbo, median(timings.parse), median(timings.buffer), median(timings.scan), total, total - gumbo,
                100.0 * (total - gumbo) / gumbo, gumboPeak, enginePeak);
    std::fflush(stdout);
    _exit(0);
}

} // namespace

int main()
{
    const Size sizes[] = {{"100 KiB", 100 * 1024, 15},
                          {"1 MiB", 1024 * 1024, 9},
                          {"10 MiB", 10 * 1024 * 1024, 5},
                          {"32 MiB", 32 * 1024 * 1024, 3}};

    std::printf("| page | runs | gumbo_parse alone (ms) | parse + serialize (ms) | into buffer (ms) | scanners (ms) "
                "| total (ms) | engine's own work (ms) | own work / gumbo | peak RSS, gumbo alone (MiB) "
                "| peak RSS, engine (MiB) |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|\n");
    std::fflush(stdout);
    for (const Size &size : sizes)
        printRow(size);
    return 0;
}
