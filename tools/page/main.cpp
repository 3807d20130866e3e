// SPDX-License-Identifier: MIT
// quorvel-page URL: loads a page with Quorvel's own engine and prints what the automation reads
// on it. Exit status 0 when the page loaded; otherwise 1 with the reason on stderr.
#include "automation/ShownText.h"
#include "platform/net/CurlSession.h"
#include "platform/web/HtmlDocument.h"
#include "platform/web/WebBrowser.h"
#include "tools/page/LoadFailure.h"
#include "tools/page/PageReport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace {

int fail(const QString &reason)
{
    QTextStream(stderr) << "quorvel-page: " << shownText(reason) << '\n';
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvel-page"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows what Quorvel's page automation reads on a page."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption timeoutOption(QStringLiteral("timeout"),
                                           QStringLiteral("Give up after this many seconds (default 120)."),
                                           QStringLiteral("seconds"), QStringLiteral("120"));
    parser.addOption(timeoutOption);
    const QCommandLineOption bodyOption(QStringLiteral("body"),
                                        QStringLiteral("Print only the body's innerHTML, as a browser's would read."));
    parser.addOption(bodyOption);
    parser.addPositionalArgument(QStringLiteral("URL"), QStringLiteral("The page to load."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("give exactly one URL"));
    bool validTimeout = false;
    const int timeoutSeconds = parser.value(timeoutOption).toInt(&validTimeout);
    // Bounded so that the guard timer below, five seconds longer, cannot overflow.
    constexpr int maxTimeoutSeconds = 24 * 3600;
    if (!validTimeout || timeoutSeconds <= 0 || timeoutSeconds > maxTimeoutSeconds)
        return fail(QStringLiteral("--timeout wants a number of seconds from 1 to %1").arg(maxTimeoutSeconds));

    CurlSession session;
    WebBrowser browser(session);
    PageLimits limits = browser.limits();
    limits.loadTimeout = std::chrono::seconds(timeoutSeconds);
    browser.setLimits(limits);

    // The page's own document-complete is the first one after the load's download-complete;
    // the ones before it belong to frames.
    bool loadEnded = false;
    QObject::connect(&browser, &PageBrowser::downloadComplete, &app, [&loadEnded] { loadEnded = true; });
    QObject::connect(&browser, &PageBrowser::documentComplete, &app, [&loadEnded] {
        if (loadEnded)
            QCoreApplication::exit(0);
    });
    // The engine keeps its own deadline; this one only guards against a load that never ends.
    QTimer::singleShot(std::chrono::seconds(timeoutSeconds + 5), &app, [] { QCoreApplication::exit(2); });
    browser.navigate(parser.positionalArguments().constFirst());
    if (QCoreApplication::exec() != 0)
        return fail(QStringLiteral("the page did not load within %1 s").arg(timeoutSeconds));

    auto document = std::static_pointer_cast<HtmlDocument>(browser.document());
    if (const auto reason = LoadFailure::reasonOf(*document))
        return fail(QStringLiteral("the page did not load: %1").arg(*reason));
    if (parser.isSet(bodyOption)) {
        std::fputs(document->bodyInnerHtml().toUtf8().constData(), stdout);
        return 0;
    }
    std::fputs(PageReport::render(*document).toUtf8().constData(), stdout);
    // A server's error page is read like any other, and its status said beside it.
    if (const auto cause = document->loadFailure())
        QTextStream(stderr) << "quorvel-page: the server answered " << cause->reason
                            << (cause->mayPass() ? " (may pass)" : " (will not pass by waiting)") << '\n';
    return 0;
}
