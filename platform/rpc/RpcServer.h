// SPDX-License-Identifier: MIT
#pragma once

#include "platform/rpc/RequestGate.h"
#include "platform/rpc/RequestRate.h"
#include "platform/rpc/RpcServerSettings.h"

#include <QHash>
#include <QList>
#include <QObject>

#include <chrono>

class HttpConnection;
class QHostAddress;
class QTcpServer;
class QTcpSocket;
class QWebSocket;
class QWebSocketServer;
class RpcEndpoint;

/**
 * The remote-control server: JSON-RPC over HTTP (POST and aria2's GET form) and over WebSocket on
 * /jsonrpc, handed to an endpoint, whose notifications go to every WebSocket client. It decides who
 * may talk and how much; the endpoint decides what is asked. Everything runs on events: no client,
 * slow or stuck, holds the thread.
 * Thread contract: create, use and destroy on the endpoint's thread (the UI thread).
 */
class RpcServer final : public QObject
{
    Q_OBJECT
public:
    RpcServer(RpcEndpoint &endpoint, const RpcServerSettings &settings, QObject *parent = nullptr);
    ~RpcServer() override;

    /** Starts listening; false, with why in Simplified Chinese, without a secret or a free port. */
    bool listen(QString *why);
    /** The port listened on: the settings' one, or the one the system chose for port 0. */
    quint16 port() const;

private:
    bool listenOn(const QHostAddress &address, quint16 port, QString *why);
    void acceptConnections(QTcpServer *server);
    void adoptWebSockets();
    /** Makes room for one more client; false when every client is in the middle of a request. */
    bool dropLeastActive();
    void sendTo(QWebSocket *client, const QByteArray &message);
    void notify(const QByteArray &message);
    int clientCount() const;

    RpcEndpoint &m_endpoint;
    RpcServerSettings m_settings;
    RequestGate m_gate;
    RequestRate m_rate;
    QList<QTcpServer *> m_listeners;
    QWebSocketServer *m_webSocketServer;
    QList<HttpConnection *> m_connections;
    QHash<QWebSocket *, std::chrono::steady_clock::time_point> m_webSockets;
};
