// SPDX-License-Identifier: MIT
#pragma once

#include "settings/RemoteControlSetting.h"

#include <QObject>

class QueueKeeping;
class RemoteControl;
class SettingsKeeping;
class SettingsStore;
class TForm1;

/**
 * The window's remote control, as its settings say: on, off, or started again on a new port or
 * secret; a start that fails is a setting not applied. What a client changes is the user's own:
 * a speed limit it asks for is kept in the settings as if set in the dialog, its saveSession
 * saves the kept list, and its shutdown closes the window as the user would. UI thread only.
 */
class RemoteControlKeeping final : public QObject
{
    Q_OBJECT

public:
    static QString part() { return QStringLiteral("远程控制"); }

    RemoteControlKeeping(TForm1 &window, RemoteControl &remote, SettingsStore &store, SettingsKeeping &settings,
                         QueueKeeping &queue, QObject *parent = nullptr);

private:
    void apply(const RemoteControlSetting &setting);
    void keepSpeedLimit(qint64 bytesPerSecond);

    TForm1 &m_window;
    RemoteControl &m_remote;
    SettingsStore &m_store;
    SettingsKeeping &m_settings;
};
