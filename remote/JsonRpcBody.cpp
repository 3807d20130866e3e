// SPDX-License-Identifier: MIT
#include "remote/JsonRpcBody.h"

#include "remote/RpcError.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

RpcResult RpcResult::fromText(QByteArray json)
{
    RpcResult result;
    result.m_text = std::move(json);
    return result;
}

QByteArray RpcResult::text() const
{
    return m_text.isEmpty() ? jsonText(m_value) : m_text;
}

QByteArray jsonText(const QJsonValue &value)
{
    if (value.isObject())
        return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    if (value.isArray())
        return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    // A document holds an object or an array only: the value goes in one, and out again.
    const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return wrapped.mid(1, wrapped.size() - 2);
}

namespace {

QByteArray errorAnswer(const QJsonValue &id, const RpcError &error)
{
    return jsonText(QJsonObject{{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                                {QStringLiteral("id"), id},
                                {QStringLiteral("error"), error.toJson()}});
}

bool isValidId(const QJsonValue &id)
{
    return id.isString() || id.isDouble() || id.isNull();
}

/** The answer to one call of a body; none for a notification. */
std::optional<QByteArray> answerCall(const QJsonValue &value, const RpcHandler &handler)
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
    QByteArray result;
    try {
        result = handler(method.toString(), params.toArray()).text();
    } catch (const RpcError &error) {
        return notification ? std::nullopt : std::optional(errorAnswer(id, error));
    }
    if (notification)
        return std::nullopt;
    return R"({"jsonrpc":"2.0","id":)" + jsonText(id) + R"(,"result":)" + result + '}';
}

} // namespace

QByteArray answerJsonRpc(const QByteArray &body, const RpcHandler &handler)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return errorAnswer(QJsonValue::Null, RpcError::parseError());
    if (document.isObject())
        return answerCall(document.object(), handler).value_or(QByteArray());
    const QJsonArray calls = document.array();
    if (calls.isEmpty())
        return errorAnswer(QJsonValue::Null, RpcError::invalidRequest());
    QByteArray answers;
    for (const QJsonValue &call : calls) {
        if (std::optional<QByteArray> answer = answerCall(call, handler))
            answers += (answers.isEmpty() ? '[' : ',') + *answer;
    }
    return answers.isEmpty() ? QByteArray() : answers + ']';
}
