// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonValue>
#include <QString>

#include <functional>

/**
 * Carries out one call: the method's result, or an RpcError thrown. params is the call's
 * parameter array as sent (empty when it sent none).
 */
using RpcHandler = std::function<QJsonValue(const QString &method, const QJsonArray &params)>;

/**
 * The JSON-RPC 2.0 answer to body, a single call or a batch, each call carried out by handler in
 * order: a parse error for text that is no JSON (or nested past QJsonDocument's depth limit),
 * "Invalid Request." for anything that is no call, and nothing for a call without an id (a
 * notification) or a batch of notifications only. Any thread the handler may run on.
 */
QByteArray answerJsonRpc(const QByteArray &body, const RpcHandler &handler);
