// SPDX-License-Identifier: MIT
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {
const QString modeKey = QStringLiteral("proxy/mode");
const QString schemeKey = QStringLiteral("proxy/scheme");
const QString hostKey = QStringLiteral("proxy/host");
const QString portKey = QStringLiteral("proxy/port");
const QString userKey = QStringLiteral("proxy/user");
const QString passwordKey = QStringLiteral("proxy/password");
const QString noProxyKey = QStringLiteral("proxy/noProxy");
const QString limitedKey = QStringLiteral("speed/limited");
const QString limitKey = QStringLiteral("speed/kibPerSecond");
const QString scheduledKey = QStringLiteral("speed/scheduled");
const QString scheduledLimitKey = QStringLiteral("speed/scheduledKibPerSecond");
const QString fromKey = QStringLiteral("speed/from");
const QString toKey = QStringLiteral("speed/to");
const QString commandKey = QStringLiteral("download/onDownloadComplete");
const QString remoteEnabledKey = QStringLiteral("remote/enabled");
const QString remotePortKey = QStringLiteral("remote/port");
const QString remoteSecretKey = QStringLiteral("remote/secret");

const QStringList modeNames{QStringLiteral("none"), QStringLiteral("system"), QStringLiteral("manual")};
const QString timeFormat = QStringLiteral("HH:mm");
} // namespace

SettingsStore::SettingsStore(QSettings &file, QObject *parent)
    : QObject(parent)
    , m_file(file)
{
    read();
}

void SettingsStore::read()
{
    Settings &s = m_settings;
    const QString mode = text(modeKey, modeNames[int(s.proxy.mode)]);
    if (modeNames.contains(mode))
        s.proxy.mode = ProxySetting::Mode(modeNames.indexOf(mode));
    else
        warn(modeKey);
    const QString scheme = text(schemeKey, s.proxy.scheme);
    if (ProxySetting::schemes().contains(scheme))
        s.proxy.scheme = scheme;
    else
        warn(schemeKey);
    s.proxy.host = text(hostKey, s.proxy.host);
    // 0 is a port not yet chosen, which only a manual proxy needs.
    s.proxy.port = number(portKey, s.proxy.port, 0, 65535);
    s.proxy.user = text(userKey, s.proxy.user);
    s.proxy.password = text(passwordKey, s.proxy.password);
    s.proxy.noProxy = text(noProxyKey, s.proxy.noProxy);
    // A manual proxy without a host or port cannot be used; going direct would bypass it unasked.
    if (s.proxy.mode == ProxySetting::Mode::Manual && !s.proxy.isComplete()) {
        m_warnings << QStringLiteral("手动代理缺少主机或端口, 改为系统代理");
        s.proxy.mode = ProxySetting::Mode::System;
    }
    s.speed.limited = flag(limitedKey, s.speed.limited);
    s.speed.kibPerSecond = number(limitKey, s.speed.kibPerSecond, SpeedLimit::minKiB, SpeedLimit::maxKiB);
    s.speed.scheduled = flag(scheduledKey, s.speed.scheduled);
    s.speed.scheduledKibPerSecond = number(scheduledLimitKey, s.speed.scheduledKibPerSecond, SpeedLimit::minKiB,
                                           SpeedLimit::maxKiB);
    s.speed.from = clockTime(fromKey, s.speed.from);
    s.speed.to = clockTime(toKey, s.speed.to);
    s.onDownloadComplete = text(commandKey, s.onDownloadComplete);
    s.remote.enabled = flag(remoteEnabledKey, s.remote.enabled);
    s.remote.port = number(remotePortKey, s.remote.port, 1, 65535);
    s.remote.secret = text(remoteSecretKey, s.remote.secret);
    // A password written into the file by hand, or by a version that did not guard it.
    if (!s.proxy.password.isEmpty() || !s.remote.secret.isEmpty())
        makePrivate();
    if (s.remote.enabled && s.remote.secret.isEmpty())
        m_warnings << QStringLiteral("远程控制没有密钥, 不会启动");
}

QString SettingsStore::text(const QString &key, const QString &fallback)
{
    const QVariant value = m_file.value(key);
    if (!value.isValid())
        return fallback;
    // A comma outside quotes makes a list of what was one text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    if (!value.canConvert<QString>()) {
        warn(key);
        return fallback;
    }
    return value.toString();
}

int SettingsStore::number(const QString &key, int fallback, int least, int most)
{
    if (!m_file.contains(key))
        return fallback;
    bool ok = false;
    const int value = text(key, QString()).trimmed().toInt(&ok);
    if (ok && value >= least && value <= most)
        return value;
    warn(key);
    return fallback;
}

bool SettingsStore::flag(const QString &key, bool fallback)
{
    if (!m_file.contains(key))
        return fallback;
    const QString value = text(key, QString()).trimmed().toLower();
    if (value == QLatin1String("true"))
        return true;
    if (value == QLatin1String("false"))
        return false;
    warn(key);
    return fallback;
}

QTime SettingsStore::clockTime(const QString &key, QTime fallback)
{
    if (!m_file.contains(key))
        return fallback;
    const QTime value = QTime::fromString(text(key, QString()).trimmed(), timeFormat);
    if (value.isValid())
        return value;
    warn(key);
    return fallback;
}

void SettingsStore::warn(const QString &key)
{
    m_warnings << QStringLiteral("设置 %1 的值无法识别, 使用默认值").arg(key);
}

QString SettingsStore::change(const Settings &changed)
{
    const Settings before = m_settings;
    m_settings = changed;
    makePrivate();
    write();
    m_file.sync();
    if (before.proxy != changed.proxy)
        emit proxyChanged(changed.proxy);
    if (before.speed != changed.speed)
        emit speedLimitChanged(changed.speed);
    if (before.onDownloadComplete != changed.onDownloadComplete)
        emit onDownloadCompleteChanged(changed.onDownloadComplete);
    if (before.remote != changed.remote)
        emit remoteControlChanged(changed.remote);
    if (m_file.status() != QSettings::NoError)
        return QStringLiteral("设置无法保存到 %1").arg(m_file.fileName());
    return QString();
}

void SettingsStore::write()
{
    const Settings &s = m_settings;
    m_file.setValue(modeKey, modeNames[int(s.proxy.mode)]);
    m_file.setValue(schemeKey, s.proxy.scheme);
    m_file.setValue(hostKey, s.proxy.host);
    m_file.setValue(portKey, s.proxy.port);
    m_file.setValue(userKey, s.proxy.user);
    writeSecret(passwordKey, s.proxy.password);
    m_file.setValue(noProxyKey, s.proxy.noProxy);
    m_file.setValue(limitedKey, s.speed.limited);
    m_file.setValue(limitKey, s.speed.kibPerSecond);
    m_file.setValue(scheduledKey, s.speed.scheduled);
    m_file.setValue(scheduledLimitKey, s.speed.scheduledKibPerSecond);
    m_file.setValue(fromKey, s.speed.from.toString(timeFormat));
    m_file.setValue(toKey, s.speed.to.toString(timeFormat));
    m_file.setValue(commandKey, s.onDownloadComplete);
    m_file.setValue(remoteEnabledKey, s.remote.enabled);
    m_file.setValue(remotePortKey, s.remote.port);
    writeSecret(remoteSecretKey, s.remote.secret);
}

void SettingsStore::writeSecret(const QString &key, const QString &secret)
{
    // No password kept is no password to leak.
    if (secret.isEmpty())
        m_file.remove(key);
    else
        m_file.setValue(key, secret);
}

void SettingsStore::makePrivate()
{
    // QSettings replaces the file through a save file that keeps the old one's permissions: a
    // file private before the first write stays private, and the password is never in a file
    // others may read, not even for a moment.
    QFile file(m_file.fileName());
    if (!file.exists()) {
        QDir().mkpath(QFileInfo(file).path());
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.close();
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
