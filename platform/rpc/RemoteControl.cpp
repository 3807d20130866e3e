// SPDX-License-Identifier: MIT
#include "platform/rpc/RemoteControl.h"

#include "platform/rpc/RpcServer.h"
#include "remote/Aria2Methods.h"

RemoteControl::RemoteControl(DownloadSession &session, QObject *parent)
    : QObject(parent)
    , m_session(session)
{
}

RemoteControl::~RemoteControl() = default;

bool RemoteControl::start(const RpcServerSettings &settings, QString *why)
{
    stop();
    m_methods = std::make_unique<Aria2Methods>(m_session, settings.secret);
    m_methods->setSessionSaver(m_saveSession);
    m_methods->setSpeedLimit(m_speedLimit);
    connect(m_methods.get(), &Aria2Methods::speedLimitAsked, this, &RemoteControl::speedLimitAsked);
    // Queued: the call that asks is answered, and its answer sent, before anything ends.
    connect(m_methods.get(), &RpcEndpoint::shutdownRequested, this, &RemoteControl::shutdownRequested,
            Qt::QueuedConnection);
    m_server = std::make_unique<RpcServer>(*m_methods, settings);
    if (m_server->listen(why))
        return true;
    stop();
    return false;
}

void RemoteControl::stop()
{
    // The server first: its clients hold on to the methods until they are gone.
    m_server.reset();
    m_methods.reset();
}

quint16 RemoteControl::port() const
{
    return m_server ? m_server->port() : 0;
}

void RemoteControl::setSessionSaver(std::function<bool()> save)
{
    m_saveSession = std::move(save);
    if (m_methods)
        m_methods->setSessionSaver(m_saveSession);
}

void RemoteControl::setSpeedLimit(qint64 bytesPerSecond)
{
    m_speedLimit = bytesPerSecond;
    if (m_methods)
        m_methods->setSpeedLimit(bytesPerSecond);
}
