// SPDX-License-Identifier: MIT
#pragma once

#include "platform/rpc/RpcServerSettings.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class Aria2Methods;
class DownloadSession;
class RpcServer;

/**
 * aria2's remote control over one download session, on or off: its methods behind its server,
 * started again whole when its settings change (a new secret must shut out every client that
 * knew the old one). What a front end answers for (the session's saving, the speed limit, the
 * end of the program) it hears as signals and tells back once, for every start.
 *
 * Thread contract: UI thread only, as the session; the session outlives it.
 */
class RemoteControl final : public QObject
{
    Q_OBJECT
public:
    explicit RemoteControl(DownloadSession &session, QObject *parent = nullptr);
    ~RemoteControl() override;

    /** Listens as settings say, instead of as before; false, stopped, with why when it cannot. */
    bool start(const RpcServerSettings &settings, QString *why);
    void stop();
    bool isRunning() const { return m_server != nullptr; }
    /** The port listened on while running. */
    quint16 port() const;

    /** See Aria2Methods::setSessionSaver. */
    void setSessionSaver(std::function<bool()> save);
    /** The speed limit in force, 0 for none, as clients read it. */
    void setSpeedLimit(qint64 bytesPerSecond);

signals:
    /** A client asked for this speed limit (0: none). */
    void speedLimitAsked(qint64 bytesPerSecond);
    /** A client asked the program to end; its answer is on its way. */
    void shutdownRequested(bool force);

private:
    DownloadSession &m_session;
    std::function<bool()> m_saveSession;
    qint64 m_speedLimit = 0;
    std::unique_ptr<Aria2Methods> m_methods;
    std::unique_ptr<RpcServer> m_server;
};
