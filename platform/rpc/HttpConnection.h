// SPDX-License-Identifier: MIT
#pragma once

#include "platform/rpc/HttpRequestHead.h"
#include "platform/rpc/RpcServerSettings.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <chrono>

class QTcpSocket;
class RequestGate;
class RequestRate;
class RpcEndpoint;
struct HttpResponse;

/**
 * One client's HTTP/1.1 exchange: kept-alive requests in turn, each head and body read only up
 * to its cap, until the client goes, a timeout ends it, or it asks for a WebSocket.
 * Thread contract: UI thread only, as its endpoint.
 */
class HttpConnection final : public QObject
{
    Q_OBJECT
public:
    /** What every connection of one server shares; it outlives them all. */
    struct Shared
    {
        const RequestGate &gate;
        RequestRate &rate;
        RpcEndpoint &endpoint;
        const RpcServerSettings::Limits &limits;
    };

    /** Takes socket over. */
    HttpConnection(QTcpSocket *socket, Shared shared, QObject *parent = nullptr);

    /** No request under way: it could go without a client losing an answer. */
    bool isIdle() const { return m_state == State::Idle; }
    std::chrono::steady_clock::time_point lastActive() const { return m_lastActive; }
    void drop();

signals:
    /**
     * The request in socket, unread, asks for a WebSocket and may have one; the socket is no
     * longer this connection's, and the connection is done.
     */
    void webSocketAsked(QTcpSocket *socket);
    /** The client went or was sent away; the connection is done. */
    void closed();

private:
    enum class State { Idle, Head, Body, Closing, Handed };

    void readRequests();
    /** False when it must wait for more bytes or the connection is ending. */
    bool readHead();
    bool startBody();
    bool readBody();
    void answerGet();
    void answerBody(const QByteArray &body);
    void send(HttpResponse response);
    void refuse(int status);
    void timedOut();
    void endAfterSending();
    void handOver();

    QTcpSocket *m_socket;
    Shared m_shared;
    State m_state = State::Idle;
    HttpRequestHead m_head;
    qint64 m_expected = 0;
    QByteArray m_body;
    QTimer m_timer;
    std::chrono::steady_clock::time_point m_lastActive = std::chrono::steady_clock::now();
};
