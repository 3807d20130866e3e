// SPDX-License-Identifier: MIT
#include "remote/Aria2Methods.h"

#include "common/QuorvelError.h"
#include "flow/DownloadSession.h"
#include "remote/JsonRpcBody.h"
#include "remote/RpcError.h"
#include "remote/RpcParams.h"
#include "remote/SecretCheck.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

#include <exception>

namespace {
const QString tokenPrefix = QStringLiteral("token:");
const QString multicallName = QStringLiteral("system.multicall");

QStringList notificationNames()
{
    return {QStringLiteral("aria2.onDownloadStart"), QStringLiteral("aria2.onDownloadPause"),
            QStringLiteral("aria2.onDownloadStop"), QStringLiteral("aria2.onDownloadComplete"),
            QStringLiteral("aria2.onDownloadError")};
}

QString endNotification(DownloadEntry::State state)
{
    switch (state) {
    case DownloadEntry::State::Done:
        return QStringLiteral("aria2.onDownloadComplete");
    case DownloadEntry::State::Failed:
    case DownloadEntry::State::Dropped:
        return QStringLiteral("aria2.onDownloadError");
    case DownloadEntry::State::Removed:
        return QStringLiteral("aria2.onDownloadStop");
    case DownloadEntry::State::Waiting:
    case DownloadEntry::State::Active:
    case DownloadEntry::State::Paused:
        break;
    }
    return QString();
}
} // namespace

Aria2Methods::Aria2Methods(DownloadSession &session, QString secret, QObject *parent)
    : RpcEndpoint(parent)
    , m_session(session)
    , m_secret(std::move(secret))
    , m_sessionId(QString::number(QRandomGenerator::global()->generate64(), 16).rightJustified(16, QLatin1Char('0')))
{
    m_clock.start();
    PageFlow &flow = session.flow();
    connect(&flow, &PageFlow::transferStarted, this, [this] {
        m_speed.restart();
        if (const std::optional<DownloadEntry> &entry = m_session.flow().transferEntry())
            notify(QStringLiteral("aria2.onDownloadStart"), entry->id);
    });
    connect(&session, &DownloadSession::progressed, this, [this](std::uint32_t receivedKiB, std::uint32_t) {
        m_speed.sample(m_clock.elapsed(), qint64(receivedKiB) * 1024);
    });
    connect(&session, &DownloadSession::entryEnded, this, [this](const DownloadEntry &entry) {
        if (const QString method = endNotification(entry.state); !method.isEmpty())
            notify(method, entry.id);
    });
    connect(&session.queue(), &DownloadQueue::entriesDiscarded, this, [this](const QList<DownloadEntry> &entries) {
        for (const DownloadEntry &entry : entries)
            notify(QStringLiteral("aria2.onDownloadStop"), entry.id);
    });
    connect(&session, &DownloadSession::cameToRest, this,
            [this](RestReason reason) { m_restingWithQueueDone = reason == RestReason::QueueDone; });
    connect(&session, &DownloadSession::workStarted, this, [this] { m_restingWithQueueDone = false; });
}

QByteArray Aria2Methods::answer(const QByteArray &body)
{
    return answerJsonRpc(body,
                         [this](const QString &method, const QJsonArray &params) { return call(method, params); });
}

RpcResult Aria2Methods::call(const QString &method, const QJsonArray &params)
{
    // aria2 asks no secret for what only names its methods, nor for the multicall around calls
    // that each carry one.
    if (method == QLatin1String("system.listMethods")) {
        QJsonArray names;
        for (const auto &[name, handler] : methodTable())
            names.append(name);
        for (const char *name : {"system.multicall", "system.listMethods", "system.listNotifications"})
            names.append(QLatin1String(name));
        return names;
    }
    if (method == QLatin1String("system.listNotifications"))
        return QJsonArray::fromStringList(notificationNames());
    if (method == multicallName)
        return multicall(params);
    const std::optional<Method> handler = methodNamed(method);
    if (!handler)
        throw RpcError::noSuchMethod(method);
    const QString token = params.isEmpty() ? QString() : params.first().toString();
    if (!token.startsWith(tokenPrefix) || !secretMatches(token.mid(tokenPrefix.size()), m_secret))
        throw RpcError::unauthorized();
    QJsonArray rest = params;
    rest.removeFirst();
    try {
        return (this->**handler)(RpcParams(std::move(rest)));
    } catch (const QuorvelError &error) {
        throw RpcError::failed(error.message());
    } catch (const std::exception &error) {
        // Whatever a method meets is its caller's error answer, never the end of the program.
        throw RpcError::failed(QString::fromUtf8(error.what()));
    }
}

RpcResult Aria2Methods::multicall(const QJsonArray &params)
{
    const QJsonArray calls = RpcParams(params).array(0);
    JsonText results;
    results.beginArray();
    for (const QJsonValue &value : calls) {
        try {
            if (!value.isObject())
                throw RpcError::failed(QStringLiteral("system.multicall expected struct."));
            const QJsonObject inner = value.toObject();
            const QJsonValue name = inner.value(QStringLiteral("methodName"));
            const QJsonValue callParams = inner.value(QStringLiteral("params"));
            if (!name.isString())
                throw RpcError::failed(QStringLiteral("Missing methodName."));
            if (!callParams.isUndefined() && !callParams.isArray())
                throw RpcError::failed(QStringLiteral("Missing params."));
            if (name.toString() == multicallName)
                throw RpcError::failed(QStringLiteral("Recursive system.multicall forbidden."));
            const QByteArray result = call(name.toString(), callParams.toArray()).text();
            results.beginArray();
            results.raw(result);
            results.endArray();
        } catch (const RpcError &error) {
            results.raw(jsonText(error.toJson()));
        }
    }
    results.endArray();
    return RpcResult::fromText(results.text());
}

void Aria2Methods::notify(const QString &method, DownloadEntry::Id id)
{
    const QJsonObject message{
        {QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
        {QStringLiteral("method"), method},
        {QStringLiteral("params"), QJsonArray{QJsonObject{{QStringLiteral("gid"), DownloadEntry::idText(id)}}}},
    };
    emit notification(QJsonDocument(message).toJson(QJsonDocument::Compact));
}

void Aria2Methods::goOnIfIdle()
{
    if (!m_restingWithQueueDone || !m_session.isAtRest() || m_session.queue().count() == 0)
        return;
    m_restingWithQueueDone = false;
    if (m_session.queue().currentUrl().isEmpty())
        m_session.queue().showHead();
    m_session.StartDownload1Click();
}

std::optional<Aria2Methods::Found> Aria2Methods::find(DownloadEntry::Id id) const
{
    if (const std::optional<DownloadEntry> &entry = m_session.flow().transferEntry(); entry && entry->id == id)
        return Found{*entry, EntryPlace::Transfer};
    if (const int index = m_session.queue().indexOf(id); index >= 0)
        return Found{m_session.queue().entry(index), EntryPlace::Queue};
    if (const int index = m_session.history().indexOf(id); index >= 0)
        return Found{m_session.history().at(index), EntryPlace::History};
    return std::nullopt;
}

Aria2Methods::Found Aria2Methods::require(DownloadEntry::Id id) const
{
    std::optional<Found> found = find(id);
    if (!found)
        throw RpcError::failed(QStringLiteral("GID %1 is not found").arg(DownloadEntry::idText(id)));
    return *std::move(found);
}

StatusFacts Aria2Methods::facts() const
{
    return {m_session.saveFolder(), m_speed.bytesPerSecond(m_clock.elapsed())};
}

void Aria2Methods::writeStatus(JsonText &json, const Found &found, const QStringList &keys) const
{
    writeAria2Status(json, found.entry, found.place, facts(), keys);
}

QList<qsizetype> Aria2Methods::waitingIndexes() const
{
    // A failed entry waits at the end of the queue for a start, but aria2's clients look for it
    // among the stopped, where the history has it.
    QList<qsizetype> indexes;
    const QList<DownloadEntry> &entries = m_session.queue().entryList();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries.at(i).state != DownloadEntry::State::Failed)
            indexes.append(i);
    }
    return indexes;
}

QString Aria2Methods::globalDir() const
{
    return m_globalDir.isEmpty() ? m_session.saveFolder() : m_globalDir;
}
