// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>

/**
 * Where a remote-control server hands what its clients send, and hears what to push to them:
 * JSON-RPC 2.0 text in, JSON-RPC text out, with no knowledge of sockets. The server checks who
 * may talk (address, Host, Origin, sizes, rates); the endpoint checks what is asked (the secret,
 * the method, its parameters).
 *
 * Thread contract: UI thread only; answer() returns before the next event is handled.
 */
class RpcEndpoint : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    /**
     * The answer to one request body: a single call or a batch. Empty when nothing is due (a
     * body of notifications only).
     */
    virtual QByteArray answer(const QByteArray &body) = 0;

signals:
    /** A complete JSON-RPC notification for every connected WebSocket client. */
    void notification(const QByteArray &message);
    /** A client asked the program to end (aria2.shutdown, aria2.forceShutdown). */
    void shutdownRequested(bool force);
};
