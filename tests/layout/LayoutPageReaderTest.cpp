// SPDX-License-Identifier: MIT
// What a layout reads on pages of each kind, in the flow's order of steps.
#include "layout/LayoutPageReader.h"
#include "automation/MainUnitState.h"
#include "automation/PageTextBuffer.h"
#include "automation/TextConversions.h"
#include "tests/layout/ParsedLayout.h"
#include "tests/support/FakePageBrowser.h"
#include "tests/support/ManualClock.h"

#include <gtest/gtest.h>

namespace {

const QString rules = QStringLiteral("hosts = files.example\n"
                                     "missing = text: This file is gone\n"
                                     "wait = pattern: come back in (\\d+) seconds\n"
                                     "wait-unit = seconds\n"
                                     "about = pattern: retry in about (\\d+) minutes\n"
                                     "countdown = pattern: <span id=\"t\">\\s*(\\d+)</span>\n"
                                     "press = value: Slow download\n");

struct PageShape
{
    const char *what;
    const char *fileRule;
    const char *body;
    const char *kind; // the first step that acts, in the flow's order
    int waitSeconds; // of the wait or the countdown
    const char *finalUrl;
};

/** The steps in the flow's order, as Memo2Change runs them: the first that acts ends the page. */
QString firstActing(LayoutPageReader &reader, PageBrowser &browser, const MainUnitState &state)
{
    if (state.MarkerFound == 0 && reader.findMissing() == PageAction::DeleteURLError)
        return QStringLiteral("missing");
    if (state.MarkerFound == 0 && reader.findWait() == PageAction::StartRetryWait)
        return QStringLiteral("wait");
    if (state.MarkerFound == 0 && reader.findCountdown() == PageAction::StartCountdown)
        return QStringLiteral("countdown");
    if (state.MarkerFound == 0 && reader.findAbout() == PageAction::StartRetryWait)
        return QStringLiteral("about");
    if (state.MarkerFound == 0 && reader.press(browser, 0))
        return QStringLiteral("press");
    return QStringLiteral("none");
}

} // namespace

TEST(LayoutPageReaderTest, ReadsEachPageShapeAsItsLayoutSays)
{
    const PageShape rows[] = {
        {"the missing page", "link: Get it", "<p>Sorry. This file is gone.</p> come back in 5 seconds", "missing", 0,
         ""},
        {"a wait in seconds", "link: Get it", "<p>Please come back in 90 seconds.</p>", "wait", 90, ""},
        {"the about page in minutes", "link: Get it", "<p>All busy, retry in about 3 minutes.</p>", "about", 180, ""},
        {"a countdown with a relative link whose query is escaped", "link: Get it",
         "<span id=\"t\"> 7</span><a class=\"x\" href=\"/get/1/a%20b.bin?k=1&amp;s=2\">Get it now</a>", "countdown", 7,
         "http://127.0.0.1/get/1/a%20b.bin?k=1&s=2"},
        {"a link text outside the link", "link: Get it", "<span id=\"t\">7</span><a href=\"/x\">Home</a> Get it",
         "none", 0, ""},
        {"a link to a scheme that is not http", "link: Get it",
         "<span id=\"t\">7</span><a href=\"javascript:go()\">Get it</a>", "none", 0, ""},
        {"an ftp link", "link: Get it", "<span id=\"t\">7</span><a href=\"ftp://files.example/f.bin\">Get it</a>",
         "none", 0, ""},
        {"a file:// link", "link: Get it", "<span id=\"t\">7</span><a href=\"file:///etc/passwd\">Get it</a>", "none",
         0, ""},
        {"the action of the form after a text", "action: Your file",
         "<span id=\"t\">2</span><form action=\"/search\"></form>Your file<form method=\"post\" "
         "action=\"https://cdn.example/f.zip\">",
         "countdown", 2, "https://cdn.example/f.zip"},
        {"an attribute", "attribute: data-file",
         "<span id=\"t\">0</span><div data-file=\"//mirror.example/f.iso\"></div>", "countdown", 0,
         "http://mirror.example/f.iso"},
        {"a pattern's group", "pattern: url: '([^']+)'", "<span id=\"t\">1</span><script>url: 'f.bin'</script>",
         "countdown", 1, "http://127.0.0.1/f.bin"},
        {"the first page", "link: Get it",
         "<form><input type=submit value=\"Fast download\"><input type=submit value=\"Slow "
         "download\"></form>",
         "press", 0, ""},
        {"a page of none of these", "link: Get it", "<p>Welcome</p>", "none", 0, ""},
    };
    for (const PageShape &row : rows) {
        SCOPED_TRACE(row.what);
        const HostLayout layout = parsedLayout(rules + QStringLiteral("file = ") + QString::fromUtf8(row.fileRule));
        PageTextBuffer buffer;
        buffer.replaceText(QString::fromUtf8(row.body));
        MainUnitState state;
        ManualClock clock;
        FakePageBrowser browser;
        browser.current = std::make_shared<FakePageDocument>();
        QStringList clicks;
        // The engine's forms are the body's: only the page with the buttons has them.
        if (QByteArray(row.body).contains("<form><input"))
            browser.current->addForm({{QStringLiteral("fast"), QStringLiteral("Fast download")},
                                      {QStringLiteral("slow"), QStringLiteral("Slow download")}},
                                     clicks);
        LayoutPageReader reader(buffer, state, clock, browser);
        reader.use(layout);

        const QString kind = firstActing(reader, browser, state);
        EXPECT_EQ(kind.toStdString(), row.kind) << reader.note().toStdString();
        EXPECT_EQ(clicks, kind == u"press" ? QStringList{QStringLiteral("slow")} : QStringList());
        if (kind == u"wait" || kind == u"about" || kind == u"countdown") {
            EXPECT_DOUBLE_EQ(state.WaitDuration, row.waitSeconds / 86400.0);
            EXPECT_EQ(state.StartTime, clock.timeOfDay());
            EXPECT_EQ(state.MarkerFound, 1);
        }
        EXPECT_EQ(state.FinalUrl.toStdString(), row.finalUrl);
    }
}
