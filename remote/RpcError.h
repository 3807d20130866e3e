// SPDX-License-Identifier: MIT
#pragma once

#include <QJsonObject>
#include <QString>

/**
 * A JSON-RPC error answer, with the codes and English messages aria2 sends, so that its clients
 * show them as they know them. Thrown by a method that cannot be carried out. A plain value; any
 * thread.
 */
struct RpcError
{
    int code = 1;
    QString message;

    /** What aria2 answers to anything its method refuses: code 1 and a sentence. */
    static RpcError failed(const QString &message) { return {1, message}; }
    static RpcError parseError() { return {-32700, QStringLiteral("Parse error.")}; }
    static RpcError invalidRequest() { return {-32600, QStringLiteral("Invalid Request.")}; }
    static RpcError invalidParams() { return {-32602, QStringLiteral("Invalid params.")}; }
    static RpcError noSuchMethod(const QString &method) { return failed(QStringLiteral("No such method: ") + method); }
    static RpcError unauthorized() { return failed(QStringLiteral("Unauthorized")); }

    QJsonObject toJson() const { return {{QStringLiteral("code"), code}, {QStringLiteral("message"), message}}; }
};
