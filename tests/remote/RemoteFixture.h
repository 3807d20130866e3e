// SPDX-License-Identifier: MIT
#pragma once

#include "tests/flow/FlowFixture.h"

#include "remote/Aria2Methods.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

/** A download session over the flow's fakes, driven through aria2's methods. */
class RemoteFixture : public FlowFixture
{
protected:
    static constexpr const char *secret = "s3cret";

    RemoteFixture()
    {
        QObject::connect(&methods, &RpcEndpoint::notification, &methods, [this](const QByteArray &message) {
            const QJsonObject object = QJsonDocument::fromJson(message).object();
            notifications.append(object.value(QStringLiteral("method")).toString() + QLatin1Char(' ')
                                 + object.value(QStringLiteral("params"))[0][QStringLiteral("gid")].toString());
        });
    }

    /** The answer to body, parsed; null for no answer. */
    QJsonValue rpc(const QByteArray &body)
    {
        const QByteArray answer = methods.answer(body);
        if (answer.isEmpty())
            return QJsonValue::Null;
        const QJsonDocument document = QJsonDocument::fromJson(answer);
        return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
    }

    /** method's result with the secret before params, or its error object. */
    QJsonValue call(const QString &method, QJsonArray params = {})
    {
        params.prepend(QStringLiteral("token:") + QLatin1String(secret));
        const QJsonObject request{{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                                  {QStringLiteral("id"), 1},
                                  {QStringLiteral("method"), method},
                                  {QStringLiteral("params"), params}};
        const QJsonObject answer = rpc(QJsonDocument(request).toJson()).toObject();
        return answer.contains(QStringLiteral("error")) ? answer.value(QStringLiteral("error"))
                                                        : answer.value(QStringLiteral("result"));
    }

    QString statusOf(const QString &gid)
    {
        return call(QStringLiteral("aria2.tellStatus"),
                    {gid, QJsonArray{QStringLiteral("status")}})[QStringLiteral("status")]
            .toString();
    }

    /** Entries a run restored: ids chosen, so that answers can be written down. */
    void queueEntry(DownloadEntry::Id id, const QString &url,
                    DownloadEntry::State state = DownloadEntry::State::Waiting)
    {
        DownloadEntry entry;
        entry.id = id;
        entry.url = url;
        entry.state = state;
        queue.appendEntries({entry});
    }

    Aria2Methods methods{session, QString::fromLatin1(secret)};
    QStringList notifications;
};

/** JSON text as a value, for comparing answers with what is written in a test. */
inline QJsonValue json(const char *text)
{
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray(text));
    if (document.isNull())
        return QJsonValue::Null;
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}
