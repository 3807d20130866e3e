// SPDX-License-Identifier: MIT
#pragma once

#include "queue/DownloadEntry.h"
#include "remote/Aria2Status.h"
#include "remote/JsonRpcBody.h"
#include "remote/RpcEndpoint.h"
#include "remote/TransferSpeed.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

class DownloadSession;
class RpcParams;

/**
 * aria2's remote-control methods over one download session: its queue is aria2's waiting list,
 * its transfer the active download, its history the stopped list, and an entry's id its GID.
 * Every call but system.listMethods, system.listNotifications and system.multicall itself needs
 * "token:" and the secret first; an empty secret lets none through. The session's events go out
 * as aria2's notifications. A link added while the run rests with its queue done starts it
 * again, as aria2 starts what it is given; a run the user stopped stays stopped.
 *
 * Thread contract: UI thread only, as the session.
 */
class Aria2Methods final : public RpcEndpoint
{
    Q_OBJECT
public:
    /** How many entries a client may fill the queue up to: a client's adds cannot grow it for ever. */
    static constexpr int maxQueued = 100'000;

    Aria2Methods(DownloadSession &session, QString secret, QObject *parent = nullptr);

    QByteArray answer(const QByteArray &body) override;

    /**
     * How aria2.saveSession writes the queue now, false while nothing keeps it; refused as aria2
     * refuses it without --save-session then, and without a saver.
     */
    void setSessionSaver(std::function<bool()> save) { m_saveSession = std::move(save); }
    /** The transfers' speed limit in force, 0 for none, as getGlobalOption reports it. */
    void setSpeedLimit(qint64 bytesPerSecond) { m_speedLimit = bytesPerSecond; }

signals:
    /**
     * changeGlobalOption asked for max-overall-download-limit or max-download-limit (one
     * transfer runs at a time: they are the same); 0 is none. Whoever applies it says back with
     * setSpeedLimit() what holds.
     */
    void speedLimitAsked(qint64 bytesPerSecond);

private:
    using Method = RpcResult (Aria2Methods::*)(const RpcParams &);
    struct Found
    {
        DownloadEntry entry;
        EntryPlace place;
    };

    /** The methods that need the secret, in the order listMethods names them. */
    static const QList<std::pair<QString, Method>> &methodTable();
    static std::optional<Method> methodNamed(const QString &name);

    RpcResult call(const QString &method, const QJsonArray &params);
    RpcResult multicall(const QJsonArray &params);
    void notify(const QString &method, DownloadEntry::Id id);
    /** Starts the run again when it rests with its queue done and there is something to do. */
    void goOnIfIdle();

    std::optional<Found> find(DownloadEntry::Id id) const;
    /** find(id), or the RpcError aria2 answers for an unknown GID. */
    Found require(DownloadEntry::Id id) const;
    StatusFacts facts() const;
    void writeStatus(JsonText &json, const Found &found, const QStringList &keys = {}) const;
    /** The queue's indexes of the entries aria2 would list as waiting or paused. */
    QList<qsizetype> waitingIndexes() const;
    QString globalDir() const;

    // The methods, by their aria2 names.
    RpcResult addUri(const RpcParams &params);
    RpcResult remove(const RpcParams &params);
    RpcResult pause(const RpcParams &params);
    RpcResult pauseAll(const RpcParams &params);
    RpcResult unpause(const RpcParams &params);
    RpcResult unpauseAll(const RpcParams &params);
    RpcResult tellStatus(const RpcParams &params);
    RpcResult getUris(const RpcParams &params);
    RpcResult getFiles(const RpcParams &params);
    RpcResult tellActive(const RpcParams &params);
    RpcResult tellWaiting(const RpcParams &params);
    RpcResult tellStopped(const RpcParams &params);
    RpcResult changePosition(const RpcParams &params);
    RpcResult getOption(const RpcParams &params);
    RpcResult getGlobalOption(const RpcParams &params);
    RpcResult changeGlobalOption(const RpcParams &params);
    RpcResult purgeDownloadResult(const RpcParams &params);
    RpcResult removeDownloadResult(const RpcParams &params);
    RpcResult getVersion(const RpcParams &params);
    RpcResult getSessionInfo(const RpcParams &params);
    RpcResult shutdown(const RpcParams &params);
    RpcResult forceShutdown(const RpcParams &params);
    RpcResult getGlobalStat(const RpcParams &params);
    RpcResult saveSession(const RpcParams &params);

    DownloadSession &m_session;
    QString m_secret;
    QString m_sessionId;
    /** changeGlobalOption's dir: where links added from then on go; empty: the save folder. */
    QString m_globalDir;
    std::function<bool()> m_saveSession;
    qint64 m_speedLimit = 0;
    bool m_restingWithQueueDone = false;
    QElapsedTimer m_clock;
    TransferSpeed m_speed;
};
