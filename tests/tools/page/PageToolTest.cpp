// SPDX-License-Identifier: MIT
#include "tests/support/LoopbackServer.h"

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

constexpr int budgetMs = 30000;

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QString::fromUtf8(QUORVEL_PAGE_EXE), arguments);
    ToolRun run;
    if (!tool.waitForFinished(budgetMs)) {
        tool.kill();
        tool.waitForFinished(budgetMs);
        return run;
    }
    run.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    run.out = QString::fromUtf8(tool.readAllStandardOutput());
    run.err = QString::fromUtf8(tool.readAllStandardError());
    return run;
}

QString url(const LoopbackServer &server, const char *path)
{
    return QString::fromStdString(server.url(path));
}

// The text under a "== title ==" heading, up to the next heading.
QString section(const QString &report, const QString &title)
{
    const QString heading = QStringLiteral("== %1 ==\n").arg(title);
    const qsizetype start = report.indexOf(heading);
    if (start < 0)
        return QStringLiteral("<missing section %1>").arg(title);
    const qsizetype from = start + heading.size();
    const qsizetype next = report.indexOf(QStringLiteral("\n== "), from);
    return report.mid(from, next < 0 ? -1 : next - from);
}

const char *countdownPage = "<html><head><title>f</title></head><body><p>Your file\r\nis ready</p>\n"
                            "<iframe src=\"/ad\"></iframe>\n"
                            "<script>var c=45;</script>\n"
                            "<form action=\"http://srv1/f/42/report.zip\" method=\"post\">"
                            "<input type=\"hidden\" name=\"id\" value=\"42\">"
                            "<input type=\"submit\" name=\"go\" value=\"Free user\"></form>\n"
                            "<p>Or try again in about x minutes.</p></body></html>";

TEST(PageTool, printsFinalUrlBodyFormsAndScannersInOrder)
{
    LoopbackServer server;
    std::atomic<int> frameVisits = 0;
    server.server().Get("/start", [](const httplib::Request &, httplib::Response &response) {
        response.set_redirect("/file");
    });
    server.server().Get("/file", [](const httplib::Request &, httplib::Response &response) {
        response.set_content(countdownPage, "text/html; charset=utf-8");
    });
    server.server().Get("/ad", [&frameVisits](const httplib::Request &, httplib::Response &response) {
        ++frameVisits;
        response.set_content("<p>ad</p>", "text/html");
    });
    server.start();

    const ToolRun run = runTool({url(server, "/start")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(frameVisits, 1);
    const QString &out = run.out;
    EXPECT_LT(out.indexOf(u"== Final URL =="), out.indexOf(u"== Body innerHTML =="));
    EXPECT_LT(out.indexOf(u"== Body innerHTML =="), out.indexOf(u"== Forms =="));
    EXPECT_LT(out.indexOf(u"== Forms =="), out.indexOf(u"== Scanners =="));

    EXPECT_EQ(section(out, QStringLiteral("Final URL")).trimmed(), url(server, "/file"));
    const QString body = section(out, QStringLiteral("Body innerHTML"));
    EXPECT_TRUE(body.startsWith(u"<p>Your file\nis ready</p>\n<iframe src=\"/ad\"></iframe>")) << body.toStdString();
    EXPECT_FALSE(body.contains(u'\r'));

    EXPECT_EQ(section(out, QStringLiteral("Forms")),
              QStringLiteral("form 0: 2 element(s)\n"
                             "  0: name \"id\", type \"hidden\", value \"42\"\n"
                             "  1: name \"go\", type \"submit\", value \"Free user\"\n"));

    const QStringList scanners = section(out, QStringLiteral("Scanners")).trimmed().split(u'\n');
    ASSERT_EQ(scanners.size(), 5) << out.toStdString();
    EXPECT_EQ(scanners[0], u"FindError: marker absent");
    EXPECT_EQ(scanners[1], u"FindWait: marker absent");
    EXPECT_TRUE(scanners[2].startsWith(u"FindStill: marker at character ")) << scanners[2].toStdString();
    EXPECT_TRUE(scanners[2].contains(u"slice \"45;<\"")) << scanners[2].toStdString();
    EXPECT_TRUE(scanners[2].contains(u"FinalUrl \"http://srv1/f/42/report.zip\""));
    EXPECT_TRUE(scanners[2].endsWith(u"countdown on Timer1 for 45 s"));
    EXPECT_TRUE(scanners[3].contains(u"slice \"x minutes.<\"")) << scanners[3].toStdString();
    EXPECT_TRUE(scanners[3].endsWith(u"conversion error: 'x' 不是一个合法的整数值"));
    EXPECT_TRUE(scanners[4].contains(u"FinalFileName \"report.zip\""));
}

TEST(PageTool, saysWhetherTheAddressIsAPageOrAFileAndHowTheFileWouldBeSaved)
{
    LoopbackServer server;
    server.server().Get("/file.zip", [](const httplib::Request &, httplib::Response &response) {
        response.set_content("PK\x03\x04", "application/zip");
    });
    server.server().Get("/get", [](const httplib::Request &, httplib::Response &response) {
        response.set_header("Content-Disposition", "attachment; filename*=UTF-8''..%2F%E4%B8%AD.bin");
        response.set_content("<p>not read</p>", "text/html");
    });
    server.server().Get("/page", [](const httplib::Request &, httplib::Response &response) {
        response.set_content("<p>a page</p>", "text/html");
    });
    server.start();
    struct Row
    {
        const char *path;
        QString kind;
        QString file; // the File section; "" for a page
    };
    const std::vector<Row> rows{
        {"/file.zip", QStringLiteral("file"),
         QStringLiteral("Content-Type: \"application/zip\"\nSuggested name: (none)\nSaved as: \"file.zip\"\n")},
        {"/get", QStringLiteral("file"),
         QStringLiteral("Content-Type: \"text/html\"\nSuggested name: \"../中.bin\"\nSaved as: \"中.bin\"\n")},
        {"/page", QStringLiteral("page"), QString()},
    };
    for (const Row &row : rows) {
        const ToolRun run = runTool({url(server, row.path)});
        EXPECT_EQ(run.exitCode, 0) << row.path << run.err.toStdString();
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        EXPECT_TRUE(run.out.startsWith(QStringLiteral("== Kind ==\n") + row.kind + QStringLiteral("\n\n")))
            << run.out.toStdString();
        EXPECT_EQ(section(run.out, QStringLiteral("Final URL")).trimmed(), url(server, row.path));
        if (!row.file.isEmpty()) {
            EXPECT_EQ(section(run.out, QStringLiteral("File")), row.file) << row.path;
            EXPECT_FALSE(run.out.contains(u"== Body innerHTML ==")) << row.path;
        }
    }
}

TEST(PageTool, aServerThatDoesNotAnswerInTimeFails)
{
    LoopbackServer server;
    server.server().Get("/slow", [](const httplib::Request &, httplib::Response &response) {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        response.set_content("<p>late</p>", "text/html");
    });
    server.start();

    const ToolRun run = runTool({QStringLiteral("--timeout"), QStringLiteral("1"), url(server, "/slow")});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.startsWith(u"quorvel-page: ")) << run.err.toStdString();
    EXPECT_EQ(run.err.count(u'\n'), 1);
}

TEST(PageTool, refusesAMissingUrl)
{
    const ToolRun run = runTool({});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(run.err, u"quorvel-page: give exactly one URL\n");
}

TEST(PageTool, refusesATimeoutOutsideOneSecondToADay)
{
    for (const char *timeout : {"0", "-5", "soon", "86401", "2147483647"}) {
        SCOPED_TRACE(timeout);
        const ToolRun run = runTool({QStringLiteral("--timeout"), QString::fromLatin1(timeout),
                                     QStringLiteral("http://127.0.0.1:9/")});
        EXPECT_NE(run.exitCode, 0);
        EXPECT_EQ(run.err, u"quorvel-page: --timeout wants a number of seconds from 1 to 86400\n");
    }
}

} // namespace

TEST(PageTool, checksALayoutFileAndSaysWhatItReadsOnAPage)
{
    const QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.layout"));
    const QString bad = dir.filePath(QStringLiteral("bad.layout"));
    const QString pressing = dir.filePath(QStringLiteral("pressing.layout"));
    for (const auto &[path, text] :
         {std::pair{good, "hosts = 127.0.0.1\ncountdown = pattern: <i>(\\d+)</i>\nfile = link: Get\n"},
          std::pair{bad, "hosts = 127.0.0.1\nfiel = link: Get\n"},
          std::pair{pressing, "hosts = 127.0.0.1\nfile = action\npress = selector: form#dl button\nfield = t: 1\n"}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    const ToolRun refused = runTool({QStringLiteral("--check-layout"), bad});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(
        refused.err.startsWith(QStringLiteral("quorvel-page: ") + bad + QStringLiteral(":2: 未知的键 \"fiel\"")))
        << refused.err.toStdString();
    const ToolRun checked = runTool({QStringLiteral("--check-layout"), good});
    EXPECT_EQ(checked.exitCode, 0) << checked.err.toStdString();
    EXPECT_TRUE(checked.out.contains(QStringLiteral("主机 127.0.0.1; 规则 countdown, file")))
        << checked.out.toStdString();
    const ToolRun press = runTool({QStringLiteral("--check-layout"), pressing});
    EXPECT_TRUE(press.out.contains(QStringLiteral("  press: 按下 selector \"form#dl button\" 的第一个控件\n"
                                                  "  field: 按下时发送 t = \"1\"\n")))
        << press.out.toStdString();

    LoopbackServer server;
    server.server().Get("/wait", [](const httplib::Request &, httplib::Response &response) {
        response.set_content("<html><body><p>In <i>12</i> s</p><a href=\"dl/f.bin\">Get</a></body></html>",
                             "text/html");
    });
    server.start();
    const ToolRun read = runTool({QStringLiteral("--layout"), good, url(server, "/wait")});
    EXPECT_EQ(read.exitCode, 0) << read.err.toStdString();
    const QString layout = section(read.out, QStringLiteral("Layout"));
    EXPECT_TRUE(layout.contains(QStringLiteral("countdown: 12 秒, 然后取文件 ") + url(server, "/dl/f.bin")))
        << layout.toStdString();
    EXPECT_TRUE(layout.contains(QStringLiteral("press: 布局没有 \"press\" 规则")));
    EXPECT_TRUE(layout.endsWith(QStringLiteral("页面类型: 倒计时 (countdown)\n"))) << layout.toStdString();
}
