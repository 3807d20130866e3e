// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <chrono>

/** Where the remote-control server listens, whom it lets in, and how much any client may take. */
struct RpcServerSettings
{
    /** What one client may take, and how long it may keep the server waiting. */
    struct Limits
    {
        qsizetype headBytes = 16 * 1024;
        qsizetype bodyBytes = 2 * 1024 * 1024;
        qsizetype messageBytes = 2 * 1024 * 1024;
        /** Answers queued for a client that does not read them: an HTTP one is then read no further, a WebSocket one dropped. */
        qsizetype unsentBytes = 16 * 1024 * 1024;
        /** Over all clients together: the endpoint runs on the UI thread. */
        int requestsPerSecond = 500;
        int connections = 256;
        /** From a request's first byte to its last. */
        std::chrono::milliseconds requestTimeout = std::chrono::seconds(10);
        /** A kept-alive HTTP connection with no request under way. */
        std::chrono::milliseconds idleTimeout = std::chrono::seconds(30);
    };

    quint16 port = 6800;
    /** Every address instead of 127.0.0.1 and ::1; then any Host name is taken. */
    bool listenAll = false;
    /** The server does not check it (the endpoint does) but refuses to run without one. */
    QString secret;
    /** Origins, as a browser sends them ("http://host:port"), whose pages may call; none by default. */
    QStringList allowedOrigins;
    Limits limits;
};
