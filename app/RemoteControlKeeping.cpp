// SPDX-License-Identifier: MIT
#include "app/RemoteControlKeeping.h"

#include "app/QueueKeeping.h"
#include "app/SettingsKeeping.h"
#include "app/TForm1.h"
#include "platform/rpc/RemoteControl.h"
#include "settings/SettingsStore.h"

RemoteControlKeeping::RemoteControlKeeping(TForm1 &window, RemoteControl &remote, SettingsStore &store,
                                           SettingsKeeping &settings, QueueKeeping &queue, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_remote(remote)
    , m_store(store)
    , m_settings(settings)
{
    m_remote.setSessionSaver([&queue] { return queue.saveNow(); });
    connect(&m_remote, &RemoteControl::speedLimitAsked, this, &RemoteControlKeeping::keepSpeedLimit);
    connect(&m_remote, &RemoteControl::shutdownRequested, &m_window, &QWidget::close);
    connect(&m_store, &SettingsStore::remoteControlChanged, this, &RemoteControlKeeping::apply);
    apply(m_store.settings().remote);
}

void RemoteControlKeeping::apply(const RemoteControlSetting &setting)
{
    if (!setting.enabled) {
        m_remote.stop();
        m_settings.setNotApplied(part(), QString());
        return;
    }
    RpcServerSettings server;
    server.port = quint16(setting.port);
    server.secret = setting.secret;
    QString why;
    if (m_remote.start(server, &why))
        m_window.setStatusText(0, QStringLiteral("远程控制在端口 %1 上等待").arg(m_remote.port()));
    m_settings.setNotApplied(part(), why);
}

void RemoteControlKeeping::keepSpeedLimit(qint64 bytesPerSecond)
{
    Settings changed = m_store.settings();
    changed.speed = changed.speed.heldAllDay(bytesPerSecond);
    const QString why = m_store.change(changed);
    if (!why.isEmpty())
        m_window.setStatusText(0, why);
}
