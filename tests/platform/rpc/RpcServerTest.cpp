// SPDX-License-Identifier: MIT
#include "platform/rpc/RpcServer.h"
#include "remote/RpcEndpoint.h"
#include "tests/support/Budget.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QWebSocket>

#include <gtest/gtest.h>

#include <memory>

using namespace std::chrono_literals;

namespace {

/** Says back what it was given, so that a test sees which body reached it. */
class EchoEndpoint final : public RpcEndpoint
{
public:
    QByteArray answer(const QByteArray &body) override
    {
        bodies.append(body);
        return R"({"echo":)" + body + '}';
    }

    QList<QByteArray> bodies;
};

RpcServerSettings loopbackSettings()
{
    RpcServerSettings settings;
    settings.port = 0;
    settings.secret = QStringLiteral("s3cret");
    return settings;
}

struct RunningServer
{
    explicit RunningServer(const RpcServerSettings &settings = loopbackSettings())
        : server(endpoint, settings)
    {
        QString why;
        listening = server.listen(&why);
        EXPECT_TRUE(listening) << why.toStdString();
    }

    QByteArray host() const { return "127.0.0.1:" + QByteArray::number(server.port()); }

    EchoEndpoint endpoint;
    RpcServer server;
    bool listening = false;
};

/** A client that writes raw bytes and reads whole responses, without blocking the server's thread. */
class RawClient
{
public:
    explicit RawClient(quint16 port)
    {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] { m_received += m_socket.readAll(); });
        runWithinBudget([this] { return m_socket.state() == QAbstractSocket::ConnectedState; }, 5s);
    }

    void send(const QByteArray &bytes) { m_socket.write(bytes); }

    /** The next whole response, head and body; empty when none came within the budget. */
    QByteArray response()
    {
        QByteArray whole;
        runWithinBudget(
            [&] {
                const qsizetype end = m_received.indexOf("\r\n\r\n");
                if (end < 0)
                    return false;
                const QByteArray head = m_received.left(end).toLower();
                const qsizetype field = head.indexOf("content-length: ");
                const qsizetype length = field < 0 ? 0 : head.mid(field + 16).split('\r').first().toLongLong();
                if (m_received.size() < end + 4 + length)
                    return false;
                whole = m_received.left(end + 4 + length);
                m_received.remove(0, whole.size());
                return true;
            },
            5s);
        return whole;
    }

    bool closedByServer()
    {
        return runWithinBudget([this] { return m_socket.state() == QAbstractSocket::UnconnectedState; }, 5s);
    }

private:
    QTcpSocket m_socket;
    QByteArray m_received;
};

int statusOf(const QByteArray &response)
{
    return response.startsWith("HTTP/1.1 ") ? response.mid(9, 3).toInt() : 0;
}

QByteArray bodyOf(const QByteArray &response)
{
    return response.mid(response.indexOf("\r\n\r\n") + 4);
}

QByteArray post(const QByteArray &host, const QByteArray &body, const QByteArray &fields = {})
{
    return "POST /jsonrpc HTTP/1.1\r\nHost: " + host + "\r\nContent-Type: application/json\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\n" + fields + "\r\n" + body;
}

const QByteArray call = R"({"jsonrpc":"2.0","id":"1","method":"aria2.getVersion","params":["token:s3cret"]})";

TEST(RpcServer, PostAndAria2sGetFormReachTheEndpointOverOneKeptAliveConnection)
{
    RunningServer running;
    RawClient client(running.server.port());

    client.send(post(running.host(), call));
    const QByteArray first = client.response();
    EXPECT_EQ(statusOf(first), 200) << first.toStdString();
    EXPECT_EQ(bodyOf(first), R"({"echo":)" + call + '}');
    EXPECT_FALSE(first.contains("Access-Control-Allow-Origin"));

    const QByteArray params = QByteArray(R"(["token:s3cret","2089b05ecca3d829"])").toBase64().toPercentEncoding();
    client.send("GET /jsonrpc?method=aria2.tellStatus&id=qv&params=" + params + " HTTP/1.1\r\nHost: " + running.host()
                + "\r\n\r\n");
    EXPECT_EQ(statusOf(client.response()), 200);
    ASSERT_EQ(running.endpoint.bodies.size(), 2);
    const QJsonObject fromGet = QJsonDocument::fromJson(running.endpoint.bodies[1]).object();
    EXPECT_EQ(fromGet.value(QStringLiteral("method")).toString(), QStringLiteral("aria2.tellStatus"));
    EXPECT_EQ(fromGet.value(QStringLiteral("id")).toString(), QStringLiteral("qv"));
    EXPECT_EQ(fromGet.value(QStringLiteral("params")).toArray().at(1).toString(), QStringLiteral("2089b05ecca3d829"));
}

TEST(RpcServer, OnlyAnAllowedOriginGetsCorsAnswers)
{
    RpcServerSettings settings = loopbackSettings();
    settings.allowedOrigins = {QStringLiteral("http://ui.example:8080")};
    RunningServer running(settings);
    RawClient client(running.server.port());

    client.send("OPTIONS /jsonrpc HTTP/1.1\r\nHost: " + running.host()
                + "\r\nOrigin: http://ui.example:8080\r\nAccess-Control-Request-Method: POST\r\n\r\n");
    const QByteArray preflight = client.response();
    EXPECT_EQ(statusOf(preflight), 204);
    EXPECT_TRUE(preflight.contains("Access-Control-Allow-Origin: http://ui.example:8080\r\n"));
    EXPECT_TRUE(preflight.contains("Access-Control-Allow-Methods: "));

    client.send(post(running.host(), call, "Origin: http://ui.example:8080\r\n"));
    const QByteArray answered = client.response();
    EXPECT_EQ(statusOf(answered), 200);
    EXPECT_TRUE(answered.contains("Access-Control-Allow-Origin: http://ui.example:8080\r\n"));
}

struct Refusal
{
    const char *why;
    QByteArray (*request)(const QByteArray &host);
    int status;
};

const QByteArray threeMiB = QByteArray::number(3 * 1024 * 1024);

const Refusal refusals[] = {
    {"a name made to point at loopback",
     [](const QByteArray &host) { return post("rebind.attacker.example" + host.mid(host.indexOf(':')), call); }, 403},
    {"another port in Host", [](const QByteArray &) { return post("127.0.0.1:1", call); }, 403},
    {"no Host",
     [](const QByteArray &) {
         return "POST /jsonrpc HTTP/1.1\r\nContent-Length: " + QByteArray::number(call.size()) + "\r\n\r\n" + call;
     },
     400},
    {"a page of another site",
     [](const QByteArray &host) { return post(host, call, "Origin: http://evil.example\r\n"); }, 403},
    {"another site's script tag",
     [](const QByteArray &host) {
         return "GET /jsonrpc?method=aria2.getVersion HTTP/1.1\r\nHost: " + host
             + "\r\nSec-Fetch-Site: cross-site\r\n\r\n";
     },
     403},
    {"another site's WebSocket",
     [](const QByteArray &host) {
         return "GET /jsonrpc HTTP/1.1\r\nHost: " + host
             + "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
               "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n"
               "Origin: http://evil.example\r\n\r\n";
     },
     403},
    {"another path", [](const QByteArray &host) { return "GET / HTTP/1.1\r\nHost: " + host + "\r\n\r\n"; }, 404},
    {"another method",
     [](const QByteArray &host) { return "PUT /jsonrpc HTTP/1.1\r\nHost: " + host + "\r\nContent-Length: 0\r\n\r\n"; },
     405},
    {"a chunked body",
     [](const QByteArray &host) {
         return "POST /jsonrpc HTTP/1.1\r\nHost: " + host
             + "\r\nTransfer-Encoding: chunked\r\n\r\n2\r\n{}\r\n0\r\n\r\n";
     },
     411},
    {"a body without a length",
     [](const QByteArray &host) { return "POST /jsonrpc HTTP/1.1\r\nHost: " + host + "\r\n\r\n" + call; }, 411},
    // Only the head is sent: the refusal must come before the body, not after buffering it.
    {"a 3 MiB body",
     [](const QByteArray &host) {
         return "POST /jsonrpc HTTP/1.1\r\nHost: " + host + "\r\nContent-Length: " + threeMiB + "\r\n\r\n";
     },
     413},
    {"a head beyond its cap",
     [](const QByteArray &host) {
         return "GET /jsonrpc HTTP/1.1\r\nHost: " + host + "\r\nX-Filler: " + QByteArray(17 * 1024, 'x');
     },
     431},
    {"a garbled request line",
     [](const QByteArray &host) {
         return "POST  /jsonrpc HTTP/1.1\r\nHost: " + host + "\r\nContent-Length: 2\r\n\r\n{}";
     },
     400},
    {"bad base64 in the GET form",
     [](const QByteArray &host) {
         return "GET /jsonrpc?method=aria2.getVersion&params=%%%% HTTP/1.1\r\nHost: " + host + "\r\n\r\n";
     },
     400},
};

TEST(RpcServer, RefusedRequestsNeverReachTheEndpointAndEndTheirConnection)
{
    for (const Refusal &refusal : refusals) {
        SCOPED_TRACE(refusal.why);
        RunningServer running;
        RawClient client(running.server.port());
        client.send(refusal.request(running.host()));
        const QByteArray response = client.response();
        EXPECT_EQ(statusOf(response), refusal.status) << response.left(200).toStdString();
        EXPECT_TRUE(response.contains("Connection: close\r\n"));
        EXPECT_TRUE(running.endpoint.bodies.isEmpty());
    }
}

TEST(RpcServer, AWholeOversizedBodyStillGetsItsRefusalRead)
{
    RunningServer running;
    RawClient client(running.server.port());
    client.send("POST /jsonrpc HTTP/1.1\r\nHost: " + running.host() + "\r\nContent-Length: " + threeMiB + "\r\n\r\n"
                + QByteArray(3 * 1024 * 1024, ' '));
    EXPECT_EQ(statusOf(client.response()), 413);
    EXPECT_TRUE(running.endpoint.bodies.isEmpty());
}

TEST(RpcServer, RequestsBeyondTheRateAreRefused)
{
    RpcServerSettings settings = loopbackSettings();
    settings.limits.requestsPerSecond = 2;
    RunningServer running(settings);
    RawClient client(running.server.port());
    client.send(post(running.host(), call) + post(running.host(), call) + post(running.host(), call));
    EXPECT_EQ(statusOf(client.response()), 200);
    EXPECT_EQ(statusOf(client.response()), 200);
    EXPECT_EQ(statusOf(client.response()), 429);

    // The share is the server's, not a connection's: a WebSocket client is held to it too.
    QWebSocket webSocket;
    QString refused;
    QObject::connect(&webSocket, &QWebSocket::textMessageReceived, &webSocket,
                     [&refused](const QString &message) { refused = message; });
    webSocket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/jsonrpc").arg(running.server.port())));
    ASSERT_TRUE(runWithinBudget([&webSocket] { return webSocket.state() == QAbstractSocket::ConnectedState; }, 5s));
    webSocket.sendTextMessage(QString::fromUtf8(call));
    ASSERT_TRUE(runWithinBudget([&refused] { return !refused.isEmpty(); }, 5s));
    EXPECT_TRUE(refused.contains(QStringLiteral("Too many requests"))) << refused.toStdString();
    EXPECT_EQ(running.endpoint.bodies.size(), 2);
}

TEST(RpcServer, IdleAndStalledConnectionsAreClosedAndTheIdlestMakesRoom)
{
    RpcServerSettings settings = loopbackSettings();
    settings.limits.idleTimeout = 300ms;
    settings.limits.requestTimeout = 300ms;
    settings.limits.connections = 2;
    RunningServer running(settings);

    RawClient idle(running.server.port());
    EXPECT_TRUE(idle.closedByServer());
    RawClient stalled(running.server.port());
    stalled.send("POST /jsonrpc HTTP/1.1\r\nHost: " + running.host() + "\r\nContent-Length: 100\r\n\r\n{");
    EXPECT_EQ(statusOf(stalled.response()), 408);

    settings.limits.idleTimeout = 1min;
    RunningServer crowded(settings);
    RawClient oldest(crowded.server.port());
    RawClient older(crowded.server.port());
    runWithinBudget([] { return false; }, 100ms);
    RawClient newest(crowded.server.port());
    EXPECT_TRUE(oldest.closedByServer());
    newest.send(post(crowded.host(), call));
    EXPECT_EQ(statusOf(newest.response()), 200);
}

TEST(RpcServer, AWebSocketCarriesCallsAndTheEndpointsNotifications)
{
    RpcServerSettings settings = loopbackSettings();
    settings.limits.messageBytes = 4096;
    RunningServer running(settings);
    QWebSocket client;
    QList<QString> received;
    QObject::connect(&client, &QWebSocket::textMessageReceived, &client,
                     [&received](const QString &message) { received.append(message); });
    client.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/jsonrpc").arg(running.server.port())));
    ASSERT_TRUE(runWithinBudget([&client] { return client.state() == QAbstractSocket::ConnectedState; }, 5s));

    client.sendTextMessage(QString::fromUtf8(call));
    ASSERT_TRUE(runWithinBudget([&received] { return received.size() == 1; }, 5s));
    EXPECT_EQ(received[0].toUtf8(), R"({"echo":)" + call + '}');

    const QByteArray started = R"({"jsonrpc":"2.0","method":"aria2.onDownloadStart","params":[{"gid":"1"}]})";
    emit running.endpoint.notification(started);
    ASSERT_TRUE(runWithinBudget([&received] { return received.size() == 2; }, 5s));
    EXPECT_EQ(received[1].toUtf8(), started);

    client.sendTextMessage(QString(5000, QLatin1Char(' ')));
    EXPECT_TRUE(runWithinBudget([&client] { return client.state() == QAbstractSocket::UnconnectedState; }, 5s));
    EXPECT_EQ(running.endpoint.bodies.size(), 1);
}

TEST(RpcServer, DoesNotStartWithoutASecret)
{
    RpcServerSettings settings = loopbackSettings();
    settings.secret.clear();
    EchoEndpoint endpoint;
    RpcServer server(endpoint, settings);
    QString why;
    EXPECT_FALSE(server.listen(&why));
    EXPECT_FALSE(why.isEmpty());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
