// SPDX-License-Identifier: MIT
#include "platform/download/CurlUrlDownloadService.h"
#include "platform/net/CurlSession.h"
#include "platform/web/PageFetcher.h"
#include "tests/platform/download/TransferRecorder.h"
#include "tests/support/HttpProxy.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/Socks5Proxy.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>

namespace {
using namespace std::chrono_literals;

const std::string password = "s3cret-pass";

/** The pages and files the requests are for, each answer recording that it was asked. */
class Origin
{
public:
    Origin()
    {
        m_server.server().Get("/page", [](const httplib::Request &, httplib::Response &response) {
            response.set_content("<html><body>through</body></html>", "text/html");
        });
        m_server.server().Get("/file", [](const httplib::Request &, httplib::Response &response) {
            response.set_content(std::string(300 * 1024, 'q'), "application/octet-stream");
        });
        m_server.start();
    }
    int port() const { return m_server.port(); }
    std::string url(const std::string &path) const { return m_server.url(path); }

private:
    LoopbackServer m_server;
};

/** A port nothing listens on: bound, then let go. */
int refusingPort()
{
    LoopbackServer gone;
    gone.start();
    const int port = gone.port();
    gone.stop();
    return port;
}

/** Sets the proxy environment for a test and puts it back after. */
class ProxyEnvironment
{
public:
    ProxyEnvironment(const char *proxy, const char *noProxy)
    {
        for (const char *name : names)
            unsetenv(name);
        if (proxy)
            setenv("http_proxy", proxy, 1);
        if (noProxy)
            setenv("NO_PROXY", noProxy, 1);
    }
    ~ProxyEnvironment()
    {
        for (const char *name : names)
            unsetenv(name);
    }

private:
    static constexpr const char *names[] = {"http_proxy",  "https_proxy", "all_proxy", "ALL_PROXY",
                                            "HTTPS_PROXY", "no_proxy",    "NO_PROXY"};
};

class ProxyTest : public ::testing::Test
{
protected:
    /** The page's answer: its body, or its failure's reason and detail. */
    PageResponse page()
    {
        const std::atomic<bool> cancel{false};
        PageRequest request;
        request.url = QUrl(QString::fromStdString(origin.url("/page")));
        return PageFetcher(session, cancel).fetch(request, 1 << 20, 10s);
    }

    TransferOutcome file()
    {
        TransferRecorder recorder;
        return downloads.downloadToFile(QString::fromStdString(origin.url("/file")),
                                        folder.filePath(QStringLiteral("file.bin")), recorder);
    }

    void useProxy(const std::string &scheme, int port, const std::string &user, const std::string &secret)
    {
        ProxySetting proxy;
        proxy.mode = ProxySetting::Mode::Manual;
        proxy.scheme = QString::fromStdString(scheme);
        proxy.host = QStringLiteral("127.0.0.1");
        proxy.port = port;
        proxy.user = QString::fromStdString(user);
        proxy.password = QString::fromStdString(secret);
        ASSERT_EQ(session.setProxy(proxy), QString());
    }

    Origin origin;
    CurlSession session;
    CurlUrlDownloadService downloads{session};
    QTemporaryDir folder;
};

struct ProxyCase
{
    const char *scheme;
    bool socks;
    const char *offeredPassword;
    bool accepted;
};

class ThroughProxy : public ProxyTest, public ::testing::WithParamInterface<ProxyCase>
{
};

TEST_P(ThroughProxy, CarriesPageAndFileOrFailsTransientlyWithoutSayingThePassword)
{
    const ProxyCase &row = GetParam();
    std::unique_ptr<LoopbackProxy> proxy;
    if (row.socks)
        proxy = std::make_unique<Socks5Proxy>("quorvel", password);
    else
        proxy = std::make_unique<HttpProxy>("quorvel", password);
    // An environment proxy must not take over from the one named by hand.
    const ProxyEnvironment environment(nullptr, "127.0.0.1");
    useProxy(row.scheme, proxy->port(), "quorvel", row.offeredPassword);

    const PageResponse answer = page();
    const TransferOutcome outcome = file();
    if (row.accepted) {
        EXPECT_TRUE(answer.ok()) << answer.failure.toStdString();
        EXPECT_TRUE(answer.body.contains("through"));
        EXPECT_EQ(outcome.kind, TransferOutcome::Kind::Done) << outcome.cause.reason.toStdString();
        EXPECT_EQ(readAll(folder.filePath(QStringLiteral("file.bin"))).size(), 300 * 1024);
    } else {
        EXPECT_FALSE(answer.ok());
        EXPECT_TRUE(answer.cause.mayPass()) << answer.cause.reason.toStdString();
        EXPECT_TRUE(answer.cause.reason.contains(QStringLiteral("代理"))) << answer.cause.reason.toStdString();
        EXPECT_EQ(outcome.kind, TransferOutcome::Kind::Failed);
        EXPECT_TRUE(outcome.cause.mayPass());
        EXPECT_TRUE(outcome.cause.reason.contains(QStringLiteral("代理"))) << outcome.cause.reason.toStdString();
    }
    const std::string port = std::to_string(origin.port());
    // A SOCKS proxy that refuses the credentials is never told the target.
    const std::vector<std::string> expected = row.socks
        ? (row.accepted ? std::vector<std::string>{"127.0.0.1:" + port, "127.0.0.1:" + port}
                        : std::vector<std::string>{})
        : std::vector<std::string>{"127.0.0.1:" + port + "/page", "127.0.0.1:" + port + "/file"};
    EXPECT_EQ(proxy->targets(), expected);
    ASSERT_FALSE(proxy->credentials().empty());
    EXPECT_EQ(proxy->credentials().front(), std::string("quorvel:") + row.offeredPassword);
    for (const QString &said : {answer.failure, answer.cause.reason, outcome.cause.reason})
        EXPECT_FALSE(said.contains(QString::fromStdString(row.offeredPassword))) << said.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Proxies, ThroughProxy,
                         ::testing::Values(ProxyCase{"http", false, password.c_str(), true},
                                           ProxyCase{"socks5", true, password.c_str(), true},
                                           ProxyCase{"socks5h", true, password.c_str(), true},
                                           ProxyCase{"http", false, "wrong-pass", false},
                                           ProxyCase{"socks5", true, "wrong-pass", false}));

TEST_F(ProxyTest, ARefusingProxyFailsPageAndFileTransientlyAsTheProxys)
{
    for (const char *scheme : {"http", "socks5h"}) {
        useProxy(scheme, refusingPort(), "", "");
        const PageResponse answer = page();
        const TransferOutcome outcome = file();
        for (const FailureCause &cause : {answer.cause, outcome.cause}) {
            EXPECT_EQ(cause.reason, QStringLiteral("无法连接代理服务器")) << scheme;
            EXPECT_TRUE(cause.mayPass()) << scheme;
        }
        EXPECT_EQ(outcome.kind, TransferOutcome::Kind::Failed);
    }
}

TEST_F(ProxyTest, OnlyTheSystemModeTakesTheEnvironmentAndItsNoProxy)
{
    HttpProxy proxy;
    const std::string proxyUrl = "http://127.0.0.1:" + std::to_string(proxy.port());
    struct Row
    {
        ProxySetting::Mode mode;
        const char *noProxy;
        bool throughProxy;
    };
    for (const Row &row :
         {Row{ProxySetting::Mode::System, nullptr, true}, Row{ProxySetting::Mode::System, "127.0.0.1", false},
          Row{ProxySetting::Mode::None, nullptr, false}}) {
        const ProxyEnvironment environment(proxyUrl.c_str(), row.noProxy);
        ProxySetting setting;
        setting.mode = row.mode;
        ASSERT_EQ(session.setProxy(setting), QString());
        const std::size_t before = proxy.targets().size();
        EXPECT_TRUE(page().ok());
        EXPECT_EQ(file().kind, TransferOutcome::Kind::Done);
        EXPECT_EQ(proxy.targets().size() - before, row.throughProxy ? 2u : 0u)
            << int(row.mode) << " " << (row.noProxy ? row.noProxy : "");
    }
}

} // namespace
