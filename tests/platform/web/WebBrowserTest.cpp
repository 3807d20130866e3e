// SPDX-License-Identifier: MIT
#include "platform/web/WebBrowser.h"

#include "common/QuorvelError.h"
#include "platform/net/CurlSession.h"
#include "tests/support/Budget.h"
#include "tests/support/LoopbackServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;
using namespace Qt::Literals::StringLiterals;

namespace {

const char *freeUserPage = "<html><body><h1>file.zip</h1><form action=\"/cgi/dl.cgi\" method=\"post\">"
                           "<input type=\"hidden\" name=\"dl.start\" value=\"Free\">"
                           "<input type=\"submit\" value=\"Free user\"></form></body></html>";

struct SeenRequest
{
    std::string method, path, contentType, body, referer, cookie, query, multipartValue;
};

class WebBrowserTest : public testing::Test
{
protected:
    void SetUp() override
    {
        session.setConnectTimeout(2s);
        auto &http = server.server();
        const auto html = [](const char *body) {
            return [body](const httplib::Request &, httplib::Response &res) { res.set_content(body, "text/html"); };
        };
        http.Get("/file", html(freeUserPage));
        http.Post("/cgi/dl.cgi", [this](const httplib::Request &req, httplib::Response &res) {
            record(req);
            res.set_content("<p>var c=30;</p>", "text/html");
        });
        http.Get("/search", [this](const httplib::Request &req, httplib::Response &res) {
            record(req);
            res.set_content("<p>found</p>", "text/html");
        });
        http.Post("/upload", [this](const httplib::Request &req, httplib::Response &res) {
            record(req);
            std::lock_guard lock(mutex);
            seen.multipartValue = req.get_file_value("n").content;
            res.set_content("<p>up</p>", "text/html");
        });
        http.Get("/frames", html("<frameset><frame src=\"/f1\"><frame src=\"/pdf\"></frameset>"));
        http.Get("/iframes", html("<p>top</p><iframe src=\"f1\"></iframe><iframe></iframe>"));
        http.Get("/f1", html("<p>frame one</p>"));
        http.Get("/pdf", [](const httplib::Request &, httplib::Response &res) { res.set_content("%PDF", "application/pdf"); });
        http.Get("/pdf-gone", [](const httplib::Request &, httplib::Response &res) {
            res.status = 404;
            res.set_content("%PDF", "application/pdf");
        });
        // A chunk size that is no hexadecimal number: the server broke HTTP, the network did not.
        http.Get("/bad-chunks", [](const httplib::Request &, httplib::Response &res) {
            res.set_header("Transfer-Encoding", "chunked");
            res.set_content("zz\r\n<p>x</p>\r\n0\r\n\r\n", "text/html");
        });
        http.Get("/set", [](const httplib::Request &, httplib::Response &res) {
            res.set_header("Set-Cookie", "sid=42; Path=/");
            res.set_content("<p>set</p>", "text/html");
        });
        http.Get("/check", [this](const httplib::Request &req, httplib::Response &res) {
            record(req);
            res.set_content("<p>checked</p>", "text/html");
        });
        http.Get("/old", [](const httplib::Request &, httplib::Response &res) { res.set_redirect("/f1"); });
        http.Get("/to-ftp", [](const httplib::Request &, httplib::Response &res) { res.set_redirect("ftp://127.0.0.1/x"); });
        http.Get("/big", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(std::string(100000, 'x'), "text/html");
        });
        http.Get("/missing", [](const httplib::Request &, httplib::Response &res) {
            res.status = 404;
            res.set_content("<p>not here</p>", "text/html");
        });
        http.Get("/busy", [](const httplib::Request &, httplib::Response &res) {
            res.status = 503;
            res.set_header("Retry-After", "120");
            res.set_content("<p>try later</p>", "text/html");
        });
        http.Get("/deep", [](const httplib::Request &, httplib::Response &res) {
            std::string page;
            for (int i = 0; i < 300000; ++i)
                page += "<div>";
            res.set_content(page, "text/html");
        });
        // Seconds of parsing (gumbo's work grows with the square of the depth) before the frame.
        http.Get("/deep-framed", [](const httplib::Request &, httplib::Response &res) {
            std::string page = "<iframe src=\"/framed\"></iframe>";
            for (int i = 0; i < 40000; ++i)
                page += "<div>";
            res.set_content(page, "text/html");
        });
        http.Get("/framed", [this](const httplib::Request &, httplib::Response &res) {
            framed = true;
            res.set_content("<p>frame</p>", "text/html");
        });
        http.Get("/stall", [this](const httplib::Request &, httplib::Response &res) {
            stalled = true;
            for (int i = 0; i < 500 && !released; ++i)
                std::this_thread::sleep_for(10ms);
            res.set_content("<p>late</p>", "text/html");
            answered = true;
        });
        server.start();
        QObject::connect(&browser, &PageBrowser::beforeNavigate, &browser,
                         [this](const QString &url) { events << u"before "_s + path(url); });
        QObject::connect(&browser, &PageBrowser::documentComplete, &browser,
                         [this](const QString &url) { events << u"complete "_s + path(url); });
        QObject::connect(&browser, &PageBrowser::downloadComplete, &browser, [this] { events << u"download"_s; });
        QObject::connect(&browser, &PageBrowser::fileOffered, &browser,
                         [this](const QString &url, const QString &name, const QString &type) {
                             events << u"file "_s + path(url) + u" \""_s + name + u"\" "_s + type;
                         });
    }

    void TearDown() override { released = true; }

    static QString u(const std::string &text) { return QString::fromStdString(text); }
    QString path(const QString &url) const { return url.startsWith(u(server.url(""))) ? url.mid(int(server.url("").size())) : url; }

    void record(const httplib::Request &req)
    {
        std::lock_guard lock(mutex);
        seen = {req.method, req.path, req.get_header_value("Content-Type"), req.body, req.get_header_value("Referer"),
                req.get_header_value("Cookie"), req.get_param_value("k"), {}};
    }

    /** Navigates (or clicks) and waits for the page's documentComplete; answers its body's HTML, if any. */
    QString load(const std::function<void()> &begin)
    {
        const qsizetype before = events.count(u"download"_s);
        begin();
        const bool done = runWithinBudget([&] { return events.count(u"download"_s) > before && events.last().startsWith(u"complete"); }, 15s);
        EXPECT_TRUE(done) << events.join(u" | ").toStdString();
        if (!done)
            return {};
        try {
            return browser.document()->bodyInnerHtml();
        } catch (const QuorvelError &) {
            return u"(no body)"_s;
        }
    }
    QString open(const std::string &path)
    {
        return load([&] { browser.navigate(u(server.url(path))); });
    }

    LoopbackServer server;
    CurlSession session;
    WebBrowser browser{session};
    QStringList events;
    std::mutex mutex;
    SeenRequest seen;
    std::atomic<bool> stalled = false;
    std::atomic<bool> released = false;
    std::atomic<bool> answered = false;
    std::atomic<bool> framed = false;
};

TEST_F(WebBrowserTest, FreeUserClickPostsTheFormToItsAction)
{
    EXPECT_THROW(browser.document(), QuorvelError);
    EXPECT_TRUE(open("/file").contains(u"Free user"));
    const QString countdown = load([&] {
        HtmlForm &form = static_cast<HtmlDocument &>(*browser.document()).form(0);
        form.item(1).click();
    });
    EXPECT_EQ(countdown, u"<p>var c=30;</p>");
    std::lock_guard lock(mutex);
    EXPECT_EQ(seen.method, "POST");
    EXPECT_EQ(seen.path, "/cgi/dl.cgi");
    EXPECT_EQ(seen.contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(seen.body, "dl.start=Free");
    EXPECT_EQ(seen.referer, server.url("/file"));
    const QStringList expected{u"before /file"_s, u"download"_s, u"complete /file"_s,
                               u"before /cgi/dl.cgi"_s, u"download"_s, u"complete /cgi/dl.cgi"_s};
    EXPECT_EQ(events, expected);
}

TEST_F(WebBrowserTest, OfManyClicksInOnePassOnlyTheLastIsFetched)
{
    std::string page;
    for (int i = 0; i < 2000; ++i)
        page += "<form action=/pick><input name=k value=" + std::to_string(i) + "><input type=submit value=\"Free user\"></form>";
    std::atomic<int> searches = 0;
    auto &http = server.server();
    http.Get("/storm", [page](const httplib::Request &, httplib::Response &res) { res.set_content(page, "text/html"); });
    http.Get("/pick", [this, &searches](const httplib::Request &req, httplib::Response &res) {
        ++searches;
        record(req);
        res.set_content("<p>found</p>", "text/html");
    });
    ASSERT_TRUE(open("/storm").contains(u"Free user"));
    events.clear();
    EXPECT_EQ(load([&] {
                  auto &document = static_cast<HtmlDocument &>(*browser.document());
                  for (int i = 0; i < document.formCount(); ++i)
                      document.form(i).item(1).click();
              }),
              u"<p>found</p>");
    EXPECT_EQ(searches.load(), 1);
    std::lock_guard lock(mutex);
    EXPECT_EQ(seen.query, "1999");
    const QStringList expected{u"before /pick?k=1999"_s, u"download"_s, u"complete /pick?k=1999"_s};
    EXPECT_EQ(events, expected);
}

TEST_F(WebBrowserTest, ANewNavigationCancelsTheRunningLoad)
{
    browser.navigate(u(server.url("/stall")));
    ASSERT_TRUE(runWithinBudget([&] { return stalled.load(); }, 5s));
    EXPECT_EQ(open("/f1"), u"<p>frame one</p>");
    const QStringList expected{u"before /stall"_s, u"download"_s, u"before /f1"_s, u"download"_s, u"complete /f1"_s};
    EXPECT_EQ(events, expected);
}

TEST_F(WebBrowserTest, GetAndMultipartFormsReachTheServer)
{
    const std::string page = "<form action=/search><input name=k value=\"a b\"><input type=submit></form>"
                             "<form action=/upload method=post enctype=multipart/form-data>"
                             "<input name=n value=\"v&1\"><input type=submit></form>";
    server.server().Get("/forms", [page](const httplib::Request &, httplib::Response &res) { res.set_content(page, "text/html"); });
    open("/forms");
    EXPECT_EQ(load([&] { static_cast<HtmlDocument &>(*browser.document()).form(0).item(1).click(); }), u"<p>found</p>");
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(seen.method, "GET");
        EXPECT_EQ(seen.query, "a b");
    }
    open("/forms");
    EXPECT_EQ(load([&] { static_cast<HtmlDocument &>(*browser.document()).form(1).item(1).click(); }), u"<p>up</p>");
    std::lock_guard lock(mutex);
    EXPECT_EQ(seen.contentType.rfind("multipart/form-data; boundary=", 0), 0u);
    EXPECT_EQ(seen.multipartValue, "v&1");
}

TEST_F(WebBrowserTest, FramesLoadBeforeThePageCompletesEvenWhenOneFails)
{
    open("/frames");
    EXPECT_THROW(browser.document()->bodyInnerHtml(), QuorvelError);
    const QStringList framesetEvents{u"before /frames"_s, u"before /f1"_s, u"complete /f1"_s, u"before /pdf"_s,
                                     u"complete /pdf"_s, u"download"_s, u"complete /frames"_s};
    EXPECT_EQ(events, framesetEvents);
    events.clear();
    EXPECT_EQ(open("/iframes"), u"<p>top</p><iframe src=\"f1\"></iframe><iframe></iframe>");
    const QStringList iframeEvents{u"before /iframes"_s, u"before /f1"_s, u"complete /f1"_s, u"download"_s,
                                   u"complete /iframes"_s};
    EXPECT_EQ(events, iframeEvents);
}

TEST_F(WebBrowserTest, CookiesAndRedirectsCarryOver)
{
    open("/set");
    open("/check");
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(seen.cookie, "sid=42");
    }
    EXPECT_EQ(open("/old"), u"<p>frame one</p>");
    EXPECT_EQ(browser.document()->url(), u(server.url("/f1")));
    EXPECT_EQ(events.last(), u"complete /f1");
    EXPECT_EQ(open("/missing"), u"<p>not here</p>");
}

TEST_F(WebBrowserTest, FailuresEndInQuorvelsOwnPageWithTheirCause)
{
    LoopbackServer closed;
    closed.start();
    const std::string refused = closed.url("/");
    closed.stop();
    // Short enough for the stalled page to fail quickly; the other tests keep the default, as a
    // loaded machine may well keep a fast server quiet for a second.
    session.setStallTimeout(1s);
    PageLimits limits;
    limits.maxPageBytes = 2000000;
    limits.parseTimeBase = 100ms;
    browser.setLimits(limits);
    using Kind = FailureCause::Kind;
    struct Row
    {
        QString url;
        QString detail;
        Kind kind;
        QString reason = {};
    };
    const std::vector<Row> rows{
        {u(server.url("/to-ftp")), u"Protocol"_s, Kind::Permanent},
        {u(server.url("/pdf-gone")), u"HTTP 404"_s, Kind::Permanent},
        {u(server.url("/stall")), u"Operation too slow"_s, Kind::Transient},
        {u(server.url("/bad-chunks")), u"chunk"_s, Kind::Transient, u"服务器应答格式错误"_s},
        {u(refused), u"127.0.0.1"_s, Kind::Transient},
        {u"ftp://127.0.0.1/file"_s, u"http"_s, Kind::Permanent},
        {u"no address at all"_s, u"http"_s, Kind::Permanent},
        // Nested so deep that the parse outruns its allowance: the page is at fault.
        {u(server.url("/deep")), u"解析超时"_s, Kind::Permanent},
    };
    for (const auto &row : rows) {
        const QString body = load([&] { browser.navigate(row.url); });
        EXPECT_TRUE(body.startsWith(u"<h1>Quorvel: 无法打开页面</h1>")) << row.url.toStdString();
        EXPECT_TRUE(body.contains(row.detail)) << row.url.toStdString() << ": " << body.toStdString();
        const auto cause = browser.document()->loadFailure();
        ASSERT_TRUE(cause) << row.url.toStdString();
        EXPECT_EQ(cause->kind, row.kind) << row.url.toStdString();
        EXPECT_FALSE(cause->reason.isEmpty());
        if (!row.reason.isEmpty()) {
            EXPECT_EQ(cause->reason, row.reason) << row.url.toStdString();
        }
    }
    // The load's own deadline passing during the parse (or, on a slow machine, the fetch) blames
    // the wait, not the page.
    limits.parseTimeBase = std::chrono::minutes(10);
    limits.loadTimeout = 300ms;
    browser.setLimits(limits);
    EXPECT_TRUE(open("/deep").startsWith(u"<h1>Quorvel: 无法打开页面</h1>"));
    ASSERT_TRUE(browser.document()->loadFailure());
    EXPECT_EQ(browser.document()->loadFailure()->kind, Kind::Transient);

    limits.maxPageBytes = 1000;
    browser.setLimits(limits);
    EXPECT_TRUE(open("/big").contains(u"1000"));
    ASSERT_TRUE(browser.document()->loadFailure());
    EXPECT_EQ(browser.document()->loadFailure()->kind, Kind::Permanent);
}

TEST_F(WebBrowserTest, AServersErrorPageIsReadAndCarriesItsStatus)
{
    EXPECT_EQ(open("/f1"), u"<p>frame one</p>");
    EXPECT_FALSE(browser.document()->loadFailure());
    EXPECT_EQ(open("/missing"), u"<p>not here</p>");
    auto cause = browser.document()->loadFailure();
    ASSERT_TRUE(cause);
    EXPECT_EQ(cause->httpStatus, 404);
    EXPECT_EQ(cause->kind, FailureCause::Kind::Permanent);
    EXPECT_EQ(open("/busy"), u"<p>try later</p>");
    cause = browser.document()->loadFailure();
    ASSERT_TRUE(cause);
    EXPECT_EQ(cause->httpStatus, 503);
    EXPECT_EQ(cause->kind, FailureCause::Kind::Transient);
    EXPECT_EQ(cause->retryAfterSeconds, 120);
}

TEST_F(WebBrowserTest, AnAnswerThatIsAFileIsOfferedWithItsNameInsteadOfLoaded)
{
    const auto answer = [](std::string type, std::string disposition, std::string body) {
        return [=](const httplib::Request &, httplib::Response &res) {
            if (!disposition.empty())
                res.set_header("Content-Disposition", disposition);
            res.set_content(body, type);
        };
    };
    std::string text(2000, 'a');
    std::string nulAtEnd = text;
    nulAtEnd[1023] = '\0';
    std::string nulAfter = text;
    nulAfter[1024] = '\0';
    const std::string utf16("<\0p\0>\0h\0i\0", 10);
    auto &http = server.server();
    http.Get("/zip", answer("application/zip", "", "PK\x03\x04"));
    http.Get("/named.html",
             answer("text/html", "attachment; filename*=UTF-8''%E4%B8%AD.bin; filename=\"z.bin\"", "<p>x</p>"));
    http.Get("/inline.pdf", answer("application/pdf", "inline; filename=\"shown.pdf\"", "%PDF"));
    http.Get("/shown.html", answer("text/html", "inline; filename=\"shown.html\"", "<p>shown</p>"));
    http.Get("/empty", answer("text/plain", "attachment", ""));
    http.Get("/lying", answer("text/html", "", std::string("\x1f\x8b\x08\0binary", 10)));
    http.Get("/lying-late", answer("text/html", "", nulAtEnd));
    http.Get("/nul-after", answer("text/html", "", nulAfter));
    http.Get("/utf16", answer("text/html; charset=utf-16le", "", utf16));
    http.Get("/to-zip", [](const httplib::Request &, httplib::Response &res) { res.set_redirect("/zip?v=1"); });
    struct Row
    {
        std::string path;
        QString offer; // "": a page
    };
    const std::vector<Row> rows{
        {"/zip", u"file /zip \"\" application/zip"_s},
        {"/named.html", u"file /named.html \"中.bin\" text/html"_s},
        {"/inline.pdf", u"file /inline.pdf \"shown.pdf\" application/pdf"_s},
        {"/shown.html", {}},
        {"/empty", u"file /empty \"\" text/plain"_s},
        {"/lying", u"file /lying \"\" text/html"_s},
        {"/lying-late", u"file /lying-late \"\" text/html"_s},
        {"/nul-after", {}},
        {"/utf16", {}},
        {"/to-zip", u"file /zip?v=1 \"\" application/zip"_s},
    };
    EXPECT_EQ(open("/f1"), u"<p>frame one</p>");
    QString lastPage = browser.document()->url();
    for (const Row &row : rows) {
        events.clear();
        browser.navigate(u(server.url(row.path)));
        ASSERT_TRUE(runWithinBudget([&] { return events.size() >= 3; }, 15s)) << row.path;
        runWithinBudget([] { return false; }, 50ms);
        if (row.offer.isEmpty()) {
            lastPage = browser.document()->url();
            EXPECT_EQ(events.last(), u"complete "_s + u(row.path)) << row.path;
            continue;
        }
        const QStringList expected{u"before "_s + u(row.path), u"download"_s, row.offer};
        EXPECT_EQ(events, expected) << row.path;
        // The page before it stays the document.
        EXPECT_EQ(browser.document()->url(), lastPage) << row.path;
    }
}

TEST_F(WebBrowserTest, AFilesBodyIsLeftAtItsFirstBytes)
{
    constexpr std::size_t size = 256u * 1024 * 1024;
    std::atomic<std::size_t> asked = 0;
    server.server().Get("/huge.bin", [&asked](const httplib::Request &, httplib::Response &res) {
        res.set_content_provider(size, "application/octet-stream",
                                 [&asked](std::size_t offset, std::size_t length, httplib::DataSink &sink) {
                                     const std::string chunk(std::min<std::size_t>(length, 65536), 'x');
                                     asked = offset + chunk.size();
                                     return sink.write(chunk.data(), chunk.size());
                                 });
    });
    browser.navigate(u(server.url("/huge.bin")));
    ASSERT_TRUE(runWithinBudget([&] { return events.size() >= 3; }, 15s));
    EXPECT_EQ(events.last(), u"file /huge.bin \"\" application/octet-stream");
    // What the socket buffers held when the connection closed, far below the page size cap.
    EXPECT_LT(asked.load(), std::size_t(16) * 1024 * 1024);
}

TEST_F(WebBrowserTest, StopEndsTheLoadWithoutDocumentComplete)
{
    browser.navigate(u(server.url("/stall")));
    ASSERT_TRUE(runWithinBudget([&] { return stalled.load(); }, 5s));
    browser.stop();
    released = true;
    ASSERT_TRUE(runWithinBudget([&] { return events.contains(u"download"_s); }, 5s));
    runWithinBudget([] { return false; }, 300ms);
    const QStringList expected{u"before /stall"_s, u"download"_s};
    EXPECT_EQ(events, expected);
    EXPECT_THROW(browser.document(), QuorvelError);
}

TEST_F(WebBrowserTest, DestroyingTheBrowserDuringAParseReturns)
{
    // A parse that ran on would end by asking for the page's frame before the browser returned.
    std::atomic<bool> served = false;
    server.server().set_logger([&served](const httplib::Request &req, const httplib::Response &) {
        if (req.path == "/deep-framed")
            served = true;
    });
    auto doomed = std::make_unique<WebBrowser>(session);
    PageLimits limits;
    limits.parseTimeBase = std::chrono::minutes(10);
    doomed->setLimits(limits);
    doomed->navigate(u(server.url("/deep-framed")));
    ASSERT_TRUE(runWithinBudget([&] { return served.load(); }, 5s));
    runWithinBudget([] { return false; }, 200ms);
    doomed.reset();
    EXPECT_FALSE(framed.load());
}

TEST_F(WebBrowserTest, DestroyingTheBrowserDuringALoadReturns)
{
    auto doomed = std::make_unique<WebBrowser>(session);
    doomed->navigate(u(server.url("/stall")));
    ASSERT_TRUE(runWithinBudget([&] { return stalled.load(); }, 5s));
    doomed.reset();
    // Returned while the server still held its answer back.
    EXPECT_FALSE(answered.load());
}

} // namespace
