// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QStringList>

struct HttpRequestHead;
struct RpcServerSettings;

/**
 * Who may talk to the server, judged from a request's head alone: a page of another site, or one
 * reached through a name that was made to point at loopback, must not drive the program.
 */
class RequestGate final
{
public:
    explicit RequestGate(const RpcServerSettings &settings);

    /** 0 when the request may go on; else the HTTP status that refuses it (400 or 403). */
    int refusal(const HttpRequestHead &head, quint16 localPort) const;
    /** The CORS fields of an answer to an allowed Origin; none for any other request. */
    QList<QPair<QByteArray, QByteArray>> corsFields(const HttpRequestHead &head) const;

private:
    bool hostAllowed(const QByteArray &host, quint16 localPort) const;
    bool originAllowed(const QByteArray &origin) const;

    bool m_anyHost;
    QStringList m_origins;
};
