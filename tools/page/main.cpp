// SPDX-License-Identifier: MIT
// quorvel-page URL: loads a page with Quorvel's own engine and prints what the automation reads
// on it, or, when the address answers with a file, that it is one and under what name a run would
// save it. Exit status 0 when the page (or the file's answer) arrived; otherwise 1 with the
// reason on stderr.
// quorvel-page --check-layout FILE: checks a layout file without loading anything.
#include "automation/ShownText.h"
#include "flow/TargetPath.h"
#include "layout/LayoutLoader.h"
#include "platform/net/CurlSession.h"
#include "platform/pattern/Re2PatternCompiler.h"
#include "platform/web/HtmlDocument.h"
#include "platform/web/WebBrowser.h"
#include "tools/page/LayoutReport.h"
#include "tools/page/LoadFailure.h"
#include "tools/page/PageReport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <optional>

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
    const QCommandLineOption layoutOption(QStringLiteral("layout"),
                                          QStringLiteral("Read the page with this layout file, whatever its host."),
                                          QStringLiteral("file"));
    parser.addOption(layoutOption);
    const QCommandLineOption checkOption(QStringLiteral("check-layout"),
                                         QStringLiteral("Check a layout file and exit, loading nothing."),
                                         QStringLiteral("file"));
    parser.addOption(checkOption);
    parser.addPositionalArgument(QStringLiteral("URL"), QStringLiteral("The page to load."));
    parser.process(app);
    const Re2PatternCompiler compiler;
    if (parser.isSet(checkOption)) {
        const LayoutParser::Result checked = LayoutLoader::loadFile(parser.value(checkOption), compiler);
        if (const auto *error = std::get_if<LayoutError>(&checked))
            return fail(error->text());
        std::fputs(LayoutReport::summary(std::get<HostLayout>(checked)).toUtf8().constData(), stdout);
        return 0;
    }
    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("give exactly one URL"));
    const QString url = parser.positionalArguments().constFirst();
    // The layout given, else the one a run would read this host's pages by.
    std::optional<HostLayout> givenLayout;
    LoadedLayouts loaded;
    if (parser.isSet(layoutOption)) {
        LayoutParser::Result given = LayoutLoader::loadFile(parser.value(layoutOption), compiler);
        if (const auto *error = std::get_if<LayoutError>(&given))
            return fail(error->text());
        givenLayout = std::get<HostLayout>(std::move(given));
    } else {
        loaded = LayoutLoader::load(LayoutLoader::standardFolders(), compiler);
        for (const LayoutError &error : loaded.errors)
            QTextStream(stderr) << "quorvel-page: skipped layout " << error.text() << '\n';
    }
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
    std::optional<FileAnswer> file;
    QObject::connect(&browser, &PageBrowser::fileOffered, &app,
                     [&file](const QString &fileUrl, const QString &suggestedName, const QString &type) {
                         file = FileAnswer{fileUrl, suggestedName, type.toUtf8()};
                         QCoreApplication::exit(0);
                     });
    QObject::connect(&browser, &PageBrowser::documentComplete, &app, [&loadEnded] {
        if (loadEnded)
            QCoreApplication::exit(0);
    });
    // The engine keeps its own deadline; this one only guards against a load that never ends.
    QTimer::singleShot(std::chrono::seconds(timeoutSeconds + 5), &app, [] { QCoreApplication::exit(2); });
    browser.navigate(url);
    if (QCoreApplication::exec() != 0)
        return fail(QStringLiteral("the page did not load within %1 s").arg(timeoutSeconds));

    if (file) {
        std::fputs(
            PageReport::renderFile(*file, fileNameFromOffer(file->suggestedName, file->url)).toUtf8().constData(),
            stdout);
        return 0;
    }
    auto document = std::static_pointer_cast<HtmlDocument>(browser.document());
    if (const auto reason = LoadFailure::reasonOf(*document))
        return fail(QStringLiteral("the page did not load: %1").arg(*reason));
    if (parser.isSet(bodyOption)) {
        std::fputs(document->bodyInnerHtml().toUtf8().constData(), stdout);
        return 0;
    }
    std::fputs(PageReport::render(*document).toUtf8().constData(), stdout);
    // A run chooses by the host of the entry's URL, as here.
    const HostLayout *layout = givenLayout ? &*givenLayout : loaded.layouts.forUrl(url);
    std::fputs((u'\n'
                + (layout ? LayoutReport::render(*layout, browser)
                          : QStringLiteral("== Layout ==\nnone names this host: the built-in reading applies\n")))
                   .toUtf8()
                   .constData(),
               stdout);
    // A server's error page is read like any other, and its status said beside it.
    if (const auto cause = document->loadFailure())
        QTextStream(stderr) << "quorvel-page: the server answered " << cause->reason
                            << (cause->mayPass() ? " (may pass)" : " (will not pass by waiting)") << '\n';
    return 0;
}
