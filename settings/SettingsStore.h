// SPDX-License-Identifier: MIT
#pragma once

#include "settings/Settings.h"

#include <QObject>
#include <QStringList>

class QSettings;

/**
 * The download settings as kept in the program's settings file. Reading checks every value:
 * one that is not understood keeps its default, and warnings() says which, without the value
 * itself (it may be the proxy password or the remote control's secret). The file is made readable
 * by its user only before a password can reach it, and at once when it already holds one.
 * change() writes what differs and says each part that changed.
 * Thread contract: UI thread only; the QSettings outlives the store.
 */
class SettingsStore final : public QObject
{
    Q_OBJECT

public:
    explicit SettingsStore(QSettings &file, QObject *parent = nullptr);

    const Settings &settings() const { return m_settings; }
    /** What the reading could not take, one line each; empty when all was well. */
    const QStringList &warnings() const { return m_warnings; }

    /** Keeps changed; an empty string, or why the file could not be written. */
    QString change(const Settings &changed);

signals:
    void proxyChanged(const ProxySetting &proxy);
    void speedLimitChanged(const SpeedLimit &speed);
    void onDownloadCompleteChanged(const QString &command);
    void remoteControlChanged(const RemoteControlSetting &remote);

private:
    void read();
    void write();
    /** A password or secret: kept only when there is one. */
    void writeSecret(const QString &key, const QString &secret);
    void makePrivate();
    QString text(const QString &key, const QString &fallback);
    int number(const QString &key, int fallback, int least, int most);
    bool flag(const QString &key, bool fallback);
    QTime clockTime(const QString &key, QTime fallback);
    void warn(const QString &key);

    QSettings &m_file;
    Settings m_settings;
    QStringList m_warnings;
};
