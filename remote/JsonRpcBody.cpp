// SPDX-License-Identifier: MIT
#include "remote/JsonRpcBody.h"

#include "remote/RpcError.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace {

QJsonObject errorAnswer(const QJsonValue &id, const RpcError &error)
{
    return {{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
            {QStringLiteral("id"), id},
            {QStringLiteral("error"), error.toJson()}};
}

bool isValidId(const QJsonValue &id)
{
    return id.isString() || id.isDouble() || id.isNull();
}

/** The answer to one call of a body; none for a notification. */
std::optional<QJsonObject> answerCall(const QJsonValue &value, const RpcHandler &handler)
{
    if (!value.isObject())
        return errorAnswer(QJsonValue::Null, RpcError::invalidRequest());
    const QJsonObject call = value.toObject();
    const bool notification = !call.contains(QStringLiteral("id"));
    const QJsonValue id = call.value(QStringLiteral("id"));
    const QJsonValue method = call.value(QStringLiteral("method"));
    const QJsonValue params = call.value(QStringLiteral("params"));
    if ((!notification && !isValidId(id)) || !method.isString())
        return errorAnswer(isValidId(id) ? id : QJsonValue(QJsonValue::Null), RpcError::invalidRequest());
    if (!params.isUndefined() && !params.isArray())
        return notification ? std::nullopt : std::optional(errorAnswer(id, RpcError::invalidParams()));
    QJsonObject answer{{QStringLiteral("jsonrpc"), QStringLiteral("2.0")}, {QStringLiteral("id"), id}};
    try {
        answer.insert(QStringLiteral("result"), handler(method.toString(), params.toArray()));
    } catch (const RpcError &error) {
        answer.insert(QStringLiteral("error"), error.toJson());
    }
    if (notification)
        return std::nullopt;
    return answer;
}

} // namespace

QByteArray answerJsonRpc(const QByteArray &body, const RpcHandler &handler)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return QJsonDocument(errorAnswer(QJsonValue::Null, RpcError::parseError())).toJson(QJsonDocument::Compact);
    if (document.isObject()) {
        const std::optional<QJsonObject> answer = answerCall(document.object(), handler);
        return answer ? QJsonDocument(*answer).toJson(QJsonDocument::Compact) : QByteArray();
    }
    const QJsonArray calls = document.array();
    if (calls.isEmpty())
        return QJsonDocument(errorAnswer(QJsonValue::Null, RpcError::invalidRequest())).toJson(QJsonDocument::Compact);
    QJsonArray answers;
    for (const QJsonValue &call : calls) {
        if (std::optional<QJsonObject> answer = answerCall(call, handler))
            answers.append(*std::move(answer));
    }
    return answers.isEmpty() ? QByteArray() : QJsonDocument(answers).toJson(QJsonDocument::Compact);
}
