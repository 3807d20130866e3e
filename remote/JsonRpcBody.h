// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonValue>
#include <QString>

#include <concepts>
#include <functional>
#include <utility>

/** A method's result: a JSON value, or JSON text already written (a long list). A value. */
class RpcResult
{
public:
    /** Anything a QJsonValue is made of: an object, an array, a string, a number. */
    template <typename Value>
    requires std::constructible_from<QJsonValue, Value> RpcResult(Value &&value)
        : m_value(std::forward<Value>(value))
    {
    }

    static RpcResult fromText(QByteArray json);

    /** The result as JSON text. */
    QByteArray text() const;

private:
    RpcResult() = default;

    QJsonValue m_value;
    QByteArray m_text;
};

/**
 * Carries out one call: the method's result, or an RpcError thrown. params is the call's
 * parameter array as sent (empty when it sent none).
 */
using RpcHandler = std::function<RpcResult(const QString &method, const QJsonArray &params)>;

/** value as JSON text, whatever its type (a bare string or number too). */
QByteArray jsonText(const QJsonValue &value);

/**
 * The JSON-RPC 2.0 answer to body, a single call or a batch, each call carried out by handler in
 * order: a parse error for text that is no JSON (or nested past QJsonDocument's depth limit),
 * "Invalid Request." for anything that is no call, and nothing for a call without an id (a
 * notification) or a batch of notifications only. Any thread the handler may run on.
 */
QByteArray answerJsonRpc(const QByteArray &body, const RpcHandler &handler);
