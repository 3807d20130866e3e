// SPDX-License-Identifier: MIT
// What a layout reads on pages of each kind, in the flow's order of steps.
#include "layout/LayoutPageReader.h"
#include "automation/MainUnitState.h"
#include "automation/PageTextBuffer.h"
#include "automation/TextConversions.h"
#include "platform/web/HtmlDocument.h"
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

struct PressCase
{
    const char *what;
    const char *lines; // the press rule and its fields
    const char *forms;
    const char *sent; // the body the press posts; empty when nothing is pressed
};

/** The page engine's parsed page, as the flow's browser holds it. */
class ParsedPageBrowser final : public PageBrowser
{
public:
    explicit ParsedPageBrowser(std::shared_ptr<HtmlDocument> page)
        : m_page(std::move(page))
    {
    }
    void navigate(const QString &) override { }
    void stop() override { }
    std::shared_ptr<PageDocument> document() override { return m_page; }

private:
    std::shared_ptr<HtmlDocument> m_page;
};

} // namespace

TEST(LayoutPageReaderTest, PressesTheControlItsRuleNamesAndSendsItsFields)
{
    const char *twoButtons = "<form method=post action=/fast><button name=b value=f>Fast</button></form>"
                             "<form method=post action=/slow id=dl class=\"main wide\"><input name=t value=1>"
                             "<button name=b value=s class=\"btn slow\">\n  Slow\n download </button>"
                             "<input type=submit name=i value=\"Slow download\"></form>";
    const PressCase rows[] = {
        // By the text a user reads.
        {"a button's inner text, its spaces made one", "press = text: Slow download", twoButtons, "t=1&b=s"},
        {"an input button's value", "press = text: Fast", "<form method=post><input type=submit name=i value=Fast>",
         "i=Fast"},
        {"a text field's value is not a text shown", "press = text: Fast",
         "<form method=post><input name=q value=Fast><button name=b>Fast</button>", "q=Fast&b="},
        {"a text on no control", "press = text: Slow", twoButtons, ""},
        // By selector: the form's part, then the control's.
        {"a class of the control", "press = selector: button.slow", twoButtons, "t=1&b=s"},
        {"the form's id and class", "press = selector: form#dl.wide input[type=submit]", twoButtons,
         "t=1&i=Slow+download"},
        {"an attribute quoted", "press = selector: [value=\"Slow download\"]", twoButtons, "t=1&i=Slow+download"},
        {"a class the form does not have", "press = selector: form.narrow button", twoButtons, ""},
        {"a tag the control does not have", "press = selector: #dl select", twoButtons, ""},
        // Fields: set where the form has them, added where it does not.
        {"a field replaced and one added", "press = text: Slow download\nfield = t: 2 & 3\nfield = token: a b",
         twoButtons, "t=2+%26+3&b=s&token=a+b"},
        {"a field on an unchecked box is added", "press = id: go\nfield = c: yes",
         "<form method=post><input type=checkbox name=c value=x><input type=submit id=go>", "c=yes"},
    };
    for (const PressCase &row : rows) {
        SCOPED_TRACE(row.what);
        const HostLayout layout = parsedLayout(QStringLiteral("hosts = files.example\nfile = action\n")
                                               + QString::fromUtf8(row.lines));
        const auto page = HtmlDocument::parse(row.forms, QUrl(QStringLiteral("http://files.example/f")));
        QByteArrayList sent;
        page->setNavigator([&sent](const PageRequest &request) { sent.append(request.body); });
        ParsedPageBrowser browser(page);
        PageTextBuffer buffer;
        MainUnitState state;
        ManualClock clock;
        LayoutPageReader reader(buffer, state, clock, browser);
        reader.use(layout);

        EXPECT_EQ(reader.press(browser, 0), *row.sent != '\0') << reader.note().toStdString();
        EXPECT_EQ(sent, *row.sent ? QByteArrayList{row.sent} : QByteArrayList());
    }
}

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
