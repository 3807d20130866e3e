// SPDX-License-Identifier: MIT
#pragma once

#include "queue/DownloadEntry.h"
#include "remote/Aria2Status.h"
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
    using Method = QJsonValue (Aria2Methods::*)(const RpcParams &);
    struct Found
    {
        DownloadEntry entry;
        EntryPlace place;
    };

    /** The methods that need the secret, in the order listMethods names them. */
    static const QList<std::pair<QString, Method>> &methodTable();
    static std::optional<Method> methodNamed(const QString &name);

    QJsonValue call(const QString &method, const QJsonArray &params);
    QJsonValue multicall(const QJsonArray &params);
    void notify(const QString &method, DownloadEntry::Id id);
    /** Starts the run again when it rests with its queue done and there is something to do. */
    void goOnIfIdle();

    std::optional<Found> find(DownloadEntry::Id id) const;
    /** find(id), or the RpcError aria2 answers for an unknown GID. */
    Found require(DownloadEntry::Id id) const;
    StatusFacts facts() const;
    QJsonObject statusOf(const Found &found, const QStringList &keys = {}) const;
    /** The queue's indexes of the entries aria2 would list as waiting or paused. */
    QList<qsizetype> waitingIndexes() const;
    QString globalDir() const;

    // The methods, by their aria2 names.
    QJsonValue addUri(const RpcParams &params);
    QJsonValue remove(const RpcParams &params);
    QJsonValue pause(const RpcParams &params);
    QJsonValue pauseAll(const RpcParams &params);
    QJsonValue unpause(const RpcParams &params);
    QJsonValue unpauseAll(const RpcParams &params);
    QJsonValue tellStatus(const RpcParams &params);
    QJsonValue getUris(const RpcParams &params);
    QJsonValue getFiles(const RpcParams &params);
    QJsonValue tellActive(const RpcParams &params);
    QJsonValue tellWaiting(const RpcParams &params);
    QJsonValue tellStopped(const RpcParams &params);
    QJsonValue changePosition(const RpcParams &params);
    QJsonValue getOption(const RpcParams &params);
    QJsonValue getGlobalOption(const RpcParams &params);
    QJsonValue changeGlobalOption(const RpcParams &params);
    QJsonValue purgeDownloadResult(const RpcParams &params);
    QJsonValue removeDownloadResult(const RpcParams &params);
    QJsonValue getVersion(const RpcParams &params);
    QJsonValue getSessionInfo(const RpcParams &params);
    QJsonValue shutdown(const RpcParams &params);
    QJsonValue forceShutdown(const RpcParams &params);
    QJsonValue getGlobalStat(const RpcParams &params);
    QJsonValue saveSession(const RpcParams &params);

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
