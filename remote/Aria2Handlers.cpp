// SPDX-License-Identifier: MIT
// The methods of Aria2Methods, one for each aria2 method it answers.
#include "remote/Aria2Methods.h"

#include "flow/DownloadSession.h"
#include "remote/Aria2Options.h"
#include "remote/Aria2Positions.h"
#include "remote/RpcError.h"
#include "remote/RpcParams.h"
#include "settings/ByteRate.h"

#include <QJsonObject>
#include <QUrl>

#include <algorithm>

namespace {
const QString ok = QStringLiteral("OK");
const QString overallLimitOption = QStringLiteral("max-overall-download-limit");
const QString downloadLimitOption = QStringLiteral("max-download-limit");

RpcError optionProblem(const QString &option)
{
    return RpcError::failed(QStringLiteral("We encountered a problem while processing the option '--%1'.").arg(option));
}

QString gidText(DownloadEntry::Id id)
{
    return DownloadEntry::idText(id);
}

/** What the flow can fetch: a page or a file over http or https. */
bool isFetchable(const QString &uri)
{
    const QUrl url(uri, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}
} // namespace

RpcResult Aria2Methods::addUri(const RpcParams &params)
{
    const QJsonArray uris = params.array(0);
    if (uris.isEmpty())
        throw RpcError::failed(QStringLiteral("URI is not provided."));
    // aria2 reads further URIs as mirrors of the first file; a page has no mirrors.
    const QString uri = uris.first().toString();
    if (!isFetchable(uri))
        throw RpcError::failed(QStringLiteral("No URI to download: only http and https URIs are fetched."));
    const AddOptions options = readAddOptions(params.optionalObject(1), m_session.saveFolder(), m_globalDir);
    DownloadQueue &queue = m_session.queue();
    if (queue.count() >= maxQueued)
        throw RpcError::failed(QStringLiteral("The queue is full: %1 entries wait.").arg(queue.count()));
    const int index = params.has(2) ? int(std::min<qint64>(params.count(2), queue.count())) : queue.count();
    DownloadEntry entry;
    entry.url = uri;
    entry.options = options.entryOptions;
    entry.state = options.paused ? DownloadEntry::State::Paused : DownloadEntry::State::Waiting;
    entry.added = QDateTime::currentDateTimeUtc();
    queue.insert(index, std::move(entry));
    const DownloadEntry::Id id = queue.idAt(index);
    goOnIfIdle();
    return gidText(id);
}

RpcResult Aria2Methods::remove(const RpcParams &params)
{
    const DownloadEntry::Id id = params.gid(0);
    if (require(id).place == EntryPlace::History || !m_session.flow().removeEntry(id))
        throw RpcError::failed(QStringLiteral("Active Download not found for GID#%1").arg(gidText(id)));
    return gidText(id);
}

RpcResult Aria2Methods::pause(const RpcParams &params)
{
    const DownloadEntry::Id id = params.gid(0);
    if (require(id).place == EntryPlace::History || !m_session.flow().pauseEntry(id))
        throw RpcError::failed(QStringLiteral("GID#%1 cannot be paused now").arg(gidText(id)));
    notify(QStringLiteral("aria2.onDownloadPause"), id);
    return gidText(id);
}

RpcResult Aria2Methods::pauseAll(const RpcParams &)
{
    // The walked entry last: pausing it sends the run on to the next entry, which would only be
    // opened to be paused in turn.
    QList<DownloadEntry::Id> ids;
    std::optional<DownloadEntry::Id> walked;
    for (const DownloadEntry &entry : m_session.queue().entryList()) {
        if (entry.state == DownloadEntry::State::Waiting)
            ids.append(entry.id);
        else if (entry.state == DownloadEntry::State::Active)
            walked = entry.id;
    }
    if (walked)
        ids.append(*walked);
    if (const std::optional<DownloadEntry> &transfer = m_session.flow().transferEntry())
        ids.append(transfer->id);
    for (const DownloadEntry::Id id : std::as_const(ids)) {
        if (m_session.flow().pauseEntry(id))
            notify(QStringLiteral("aria2.onDownloadPause"), id);
    }
    return ok;
}

RpcResult Aria2Methods::unpause(const RpcParams &params)
{
    const DownloadEntry::Id id = params.gid(0);
    require(id);
    if (!m_session.flow().resumeEntry(id))
        throw RpcError::failed(QStringLiteral("GID#%1 cannot be unpaused now").arg(gidText(id)));
    goOnIfIdle();
    return gidText(id);
}

RpcResult Aria2Methods::unpauseAll(const RpcParams &)
{
    QList<DownloadEntry::Id> ids;
    for (const DownloadEntry &entry : m_session.queue().entryList()) {
        if (entry.state == DownloadEntry::State::Paused)
            ids.append(entry.id);
    }
    for (const DownloadEntry::Id id : std::as_const(ids))
        m_session.flow().resumeEntry(id);
    goOnIfIdle();
    return ok;
}

RpcResult Aria2Methods::tellStatus(const RpcParams &params)
{
    JsonText json;
    writeStatus(json, require(params.gid(0)), params.optionalStrings(1));
    return RpcResult::fromText(json.text());
}

RpcResult Aria2Methods::getUris(const RpcParams &params)
{
    const Found found = require(params.gid(0));
    JsonText json;
    writeAria2Uris(json, found.entry, found.place);
    return RpcResult::fromText(json.text());
}

RpcResult Aria2Methods::getFiles(const RpcParams &params)
{
    const Found found = require(params.gid(0));
    JsonText json;
    writeAria2Files(json, found.entry, found.place, facts());
    return RpcResult::fromText(json.text());
}

RpcResult Aria2Methods::tellActive(const RpcParams &params)
{
    JsonText json;
    json.beginArray();
    if (const std::optional<DownloadEntry> &entry = m_session.flow().transferEntry())
        writeStatus(json, {*entry, EntryPlace::Transfer}, params.optionalStrings(0));
    json.endArray();
    return RpcResult::fromText(json.text());
}

RpcResult Aria2Methods::tellWaiting(const RpcParams &params)
{
    const QList<qsizetype> waiting = waitingIndexes();
    const QStringList keys = params.optionalStrings(2);
    JsonText json;
    json.beginArray();
    for (const qsizetype i : pageIndexes(waiting.size(), params.integer(0), params.count(1)))
        writeStatus(json, {m_session.queue().entry(int(waiting.at(i))), EntryPlace::Queue}, keys);
    json.endArray();
    return RpcResult::fromText(json.text());
}

RpcResult Aria2Methods::tellStopped(const RpcParams &params)
{
    const DownloadHistory &history = m_session.history();
    const QStringList keys = params.optionalStrings(2);
    JsonText json;
    json.beginArray();
    for (const qsizetype i : pageIndexes(history.count(), params.integer(0), params.count(1)))
        writeStatus(json, {history.at(int(i)), EntryPlace::History}, keys);
    json.endArray();
    return RpcResult::fromText(json.text());
}

RpcResult Aria2Methods::changePosition(const RpcParams &params)
{
    const DownloadEntry::Id id = params.gid(0);
    const qint64 pos = params.integer(1);
    const QString how = params.string(2);
    DownloadQueue &queue = m_session.queue();
    const int from = queue.indexOf(id);
    if (from < 0)
        throw RpcError::failed(QStringLiteral("GID#%1 not found in the waiting queue.").arg(gidText(id)));
    const std::optional<qsizetype> to = movedPosition(from, queue.count(), pos, how);
    if (!to)
        throw RpcError::failed(QStringLiteral("Illegal argument."));
    if (*to != from)
        queue.move(from, int(*to));
    return qint64(*to);
}

RpcResult Aria2Methods::getOption(const RpcParams &params)
{
    const Found found = require(params.gid(0));
    QJsonObject options{{QStringLiteral("dir"), aria2Dir(found.entry, facts())}};
    if (const QString out = found.entry.options.value(QStringLiteral("out")); !out.isEmpty())
        options.insert(QStringLiteral("out"), out);
    return options;
}

RpcResult Aria2Methods::getGlobalOption(const RpcParams &)
{
    const QString limit = QString::number(m_speedLimit);
    return QJsonObject{{QStringLiteral("dir"), globalDir()},
                       {QStringLiteral("max-concurrent-downloads"), QStringLiteral("1")},
                       {overallLimitOption, limit},
                       {downloadLimitOption, limit}};
}

RpcResult Aria2Methods::changeGlobalOption(const RpcParams &params)
{
    const QJsonObject options = params.optionalObject(0);
    // All are checked before any applies: a refused call changes nothing.
    std::optional<QString> dir;
    if (const QJsonValue value = options.value(QStringLiteral("dir")); !value.isUndefined()) {
        if (!value.isString())
            throw optionProblem(QStringLiteral("dir"));
        dir = folderInside(value.toString(), m_session.saveFolder());
    }
    std::optional<std::int64_t> limit;
    for (const QString &name : {overallLimitOption, downloadLimitOption}) {
        if (const QJsonValue value = options.value(name); !value.isUndefined()) {
            limit = value.isString() ? byteRateFrom(value.toString()) : std::nullopt;
            if (!limit)
                throw optionProblem(name);
        }
    }
    if (dir)
        m_globalDir = *dir;
    if (limit)
        emit speedLimitAsked(*limit);
    return ok;
}

RpcResult Aria2Methods::purgeDownloadResult(const RpcParams &)
{
    m_session.history().clear();
    return ok;
}

RpcResult Aria2Methods::removeDownloadResult(const RpcParams &params)
{
    const DownloadEntry::Id id = params.gid(0);
    std::optional<DownloadEntry> record = m_session.history().take(id);
    if (!record)
        throw RpcError::failed(QStringLiteral("Could not remove download result of GID#%1").arg(gidText(id)));
    // A part kept with the record can no longer be continued by anything, unless its entry is
    // still queued.
    if (record->part && m_session.queue().indexOf(id) < 0)
        m_session.download().discardPartial(record->part->target);
    return ok;
}

RpcResult Aria2Methods::getVersion(const RpcParams &)
{
    return QJsonObject{{QStringLiteral("version"), QStringLiteral(QUORVEL_VERSION)},
                       {QStringLiteral("enabledFeatures"), QJsonArray{QStringLiteral("HTTPS")}}};
}

RpcResult Aria2Methods::getSessionInfo(const RpcParams &)
{
    return QJsonObject{{QStringLiteral("sessionId"), m_sessionId}};
}

RpcResult Aria2Methods::shutdown(const RpcParams &)
{
    emit shutdownRequested(false);
    return ok;
}

RpcResult Aria2Methods::forceShutdown(const RpcParams &)
{
    emit shutdownRequested(true);
    return ok;
}

RpcResult Aria2Methods::getGlobalStat(const RpcParams &)
{
    const bool active = m_session.flow().transferEntry().has_value();
    const QString stopped = QString::number(m_session.history().count());
    return QJsonObject{
        {QStringLiteral("downloadSpeed"), QString::number(active ? facts().downloadSpeed : 0)},
        {QStringLiteral("uploadSpeed"), QStringLiteral("0")},
        {QStringLiteral("numActive"), active ? QStringLiteral("1") : QStringLiteral("0")},
        {QStringLiteral("numWaiting"), QString::number(waitingIndexes().size())},
        {QStringLiteral("numStopped"), stopped},
        {QStringLiteral("numStoppedTotal"), stopped},
    };
}

RpcResult Aria2Methods::saveSession(const RpcParams &)
{
    if (!m_saveSession || !m_saveSession())
        throw RpcError::failed(QStringLiteral("Filename is not given."));
    return ok;
}
