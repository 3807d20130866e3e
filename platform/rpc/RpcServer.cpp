// SPDX-License-Identifier: MIT
#include "platform/rpc/RpcServer.h"

#include "platform/rpc/HttpConnection.h"
#include "remote/RpcEndpoint.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocket>
#include <QWebSocketServer>

namespace {

const QByteArray tooManyRequests = R"({"jsonrpc":"2.0","id":null,"error":{"code":1,"message":"Too many requests"}})";

} // namespace

RpcServer::RpcServer(RpcEndpoint &endpoint, const RpcServerSettings &settings, QObject *parent)
    : QObject(parent)
    , m_endpoint(endpoint)
    , m_settings(settings)
    , m_gate(settings)
    , m_rate(settings.limits.requestsPerSecond)
    , m_webSocketServer(new QWebSocketServer(QStringLiteral("Quorvel"), QWebSocketServer::NonSecureMode, this))
{
    m_webSocketServer->setHandshakeTimeout(settings.limits.requestTimeout);
    connect(m_webSocketServer, &QWebSocketServer::newConnection, this, &RpcServer::adoptWebSockets);
    connect(&m_endpoint, &RpcEndpoint::notification, this, &RpcServer::notify);
}

RpcServer::~RpcServer()
{
    // The connections' closed() would otherwise reach a list that is going.
    for (HttpConnection *connection : std::as_const(m_connections))
        connection->disconnect(this);
}

bool RpcServer::listen(QString *why)
{
    if (m_settings.secret.isEmpty()) {
        *why = QStringLiteral("远程控制需要一个密钥 (--rpc-secret), 否则不启动");
        return false;
    }
    if (m_settings.listenAll)
        return listenOn(QHostAddress::Any, m_settings.port, why);
    if (!listenOn(QHostAddress::LocalHost, m_settings.port, why))
        return false;
    // Without IPv6 on the machine, 127.0.0.1 alone serves every client.
    QString ignored;
    listenOn(QHostAddress::LocalHostIPv6, port(), &ignored);
    return true;
}

quint16 RpcServer::port() const
{
    return m_listeners.isEmpty() ? 0 : m_listeners.first()->serverPort();
}

bool RpcServer::listenOn(const QHostAddress &address, quint16 port, QString *why)
{
    auto *listener = new QTcpServer(this);
    if (!listener->listen(address, port)) {
        *why = QStringLiteral("远程控制无法在 %1 端口 %2 上监听: %3")
                   .arg(address.toString(), QString::number(port), listener->errorString());
        delete listener;
        return false;
    }
    connect(listener, &QTcpServer::newConnection, this, [this, listener] { acceptConnections(listener); });
    m_listeners.append(listener);
    return true;
}

void RpcServer::acceptConnections(QTcpServer *listener)
{
    while (QTcpSocket *socket = listener->nextPendingConnection()) {
        if (clientCount() >= m_settings.limits.connections && !dropLeastActive()) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto *connection = new HttpConnection(socket, {m_gate, m_rate, m_endpoint, m_settings.limits}, this);
        m_connections.append(connection);
        connect(connection, &HttpConnection::closed, this, [this, connection] {
            m_connections.removeOne(connection);
            connection->deleteLater();
        });
        connect(connection, &HttpConnection::webSocketAsked, this, [this, connection](QTcpSocket *handed) {
            m_connections.removeOne(connection);
            connection->deleteLater();
            handed->setParent(this);
            m_webSocketServer->handleConnection(handed);
        });
    }
}

void RpcServer::adoptWebSockets()
{
    while (QWebSocket *client = m_webSocketServer->nextPendingConnection()) {
        client->setParent(this);
        client->setMaxAllowedIncomingMessageSize(quint64(m_settings.limits.messageBytes));
        client->setMaxAllowedIncomingFrameSize(quint64(m_settings.limits.messageBytes));
        m_webSockets.insert(client, std::chrono::steady_clock::now());
        connect(client, &QWebSocket::textMessageReceived, this, [this, client](const QString &message) {
            m_webSockets[client] = std::chrono::steady_clock::now();
            if (!m_rate.admit()) {
                sendTo(client, tooManyRequests);
                return;
            }
            const QByteArray answer = m_endpoint.answer(message.toUtf8());
            if (!answer.isEmpty())
                sendTo(client, answer);
        });
        connect(client, &QWebSocket::disconnected, this, [this, client] {
            m_webSockets.remove(client);
            client->deleteLater();
        });
    }
}

bool RpcServer::dropLeastActive()
{
    HttpConnection *idlest = nullptr;
    for (HttpConnection *connection : std::as_const(m_connections)) {
        if (connection->isIdle() && (!idlest || connection->lastActive() < idlest->lastActive()))
            idlest = connection;
    }
    QWebSocket *quietest = nullptr;
    for (auto it = m_webSockets.cbegin(); it != m_webSockets.cend(); ++it) {
        if (!quietest || it.value() < m_webSockets.value(quietest))
            quietest = it.key();
    }
    if (quietest && (!idlest || m_webSockets.value(quietest) < idlest->lastActive())) {
        m_webSockets.remove(quietest);
        quietest->disconnect(this);
        quietest->abort();
        quietest->deleteLater();
        return true;
    }
    if (idlest) {
        idlest->drop();
        return true;
    }
    return false;
}

void RpcServer::sendTo(QWebSocket *client, const QByteArray &message)
{
    // A client that reads nothing would make every notification stay here.
    if (client->bytesToWrite() > m_settings.limits.unsentBytes) {
        client->abort();
        return;
    }
    client->sendTextMessage(QString::fromUtf8(message));
}

void RpcServer::notify(const QByteArray &message)
{
    for (auto it = m_webSockets.cbegin(); it != m_webSockets.cend(); ++it)
        sendTo(it.key(), message);
}

int RpcServer::clientCount() const
{
    return int(m_connections.size() + m_webSockets.size());
}
