// SPDX-License-Identifier: MIT
#include "platform/rpc/RequestGate.h"

#include "platform/rpc/HttpRequestHead.h"
#include "platform/rpc/RpcServerSettings.h"

RequestGate::RequestGate(const RpcServerSettings &settings)
    : m_anyHost(settings.listenAll)
    , m_origins(settings.allowedOrigins)
{
}

int RequestGate::refusal(const HttpRequestHead &head, quint16 localPort) const
{
    const std::optional<QByteArray> host = head.field("Host");
    if (!host || host->isEmpty())
        return 400;
    if (!hostAllowed(*host, localPort))
        return 403;
    if (const std::optional<QByteArray> origin = head.field("Origin"))
        return originAllowed(*origin) ? 0 : 403;
    // A script or image tag of another site sends no Origin, but a browser still says where it came from.
    const QByteArray site = head.field("Sec-Fetch-Site").value_or("none").toLower();
    return site == "none" || site == "same-origin" ? 0 : 403;
}

QList<QPair<QByteArray, QByteArray>> RequestGate::corsFields(const HttpRequestHead &head) const
{
    const std::optional<QByteArray> origin = head.field("Origin");
    if (!origin || !originAllowed(*origin))
        return {};
    QList<QPair<QByteArray, QByteArray>> fields{{"Access-Control-Allow-Origin", *origin}, {"Vary", "Origin"}};
    if (head.method == "OPTIONS") {
        fields.emplaceBack("Access-Control-Allow-Methods", "POST, GET, OPTIONS");
        fields.emplaceBack("Access-Control-Allow-Headers", "Content-Type");
        fields.emplaceBack("Access-Control-Max-Age", "1728000");
    }
    return fields;
}

bool RequestGate::hostAllowed(const QByteArray &host, quint16 localPort) const
{
    if (m_anyHost)
        return true;
    const QByteArray port = ':' + QByteArray::number(localPort);
    if (!host.endsWith(port))
        return false;
    const QByteArray name = host.chopped(port.size()).toLower();
    return name == "127.0.0.1" || name == "[::1]" || name == "localhost";
}

bool RequestGate::originAllowed(const QByteArray &origin) const
{
    const QString text = QString::fromLatin1(origin);
    for (const QString &allowed : m_origins) {
        if (text.compare(allowed, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
