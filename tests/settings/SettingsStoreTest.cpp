// SPDX-License-Identifier: MIT
#include "settings/SettingsStore.h"

#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SettingsStoreTest : public ::testing::Test
{
protected:
    QString path() const { return folder.filePath(QStringLiteral("quorvel/quorvel.ini")); }
    void writeRaw(const QByteArray &text)
    {
        QDir().mkpath(folder.filePath(QStringLiteral("quorvel")));
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir folder;
};

TEST_F(SettingsStoreTest, DamagedValuesKeepTheirDefaultsAndAreNamedWithoutTheirValues)
{
    writeRaw("[proxy]\nmode=sideways\nscheme=ftp\nport=70000\npassword=hunter2\n"
             "[speed]\nlimited=yes\nkibPerSecond=0\nscheduled=true\nscheduledKibPerSecond=64\nfrom=25:00\nto=07:30\n"
             "[download]\nonDownloadComplete=/bin/unpack, --here\n[remote]\nenabled=maybe\nport=0\n");
    QSettings file(path(), QSettings::IniFormat);
    const SettingsStore store(file);
    const Settings defaults;
    const Settings &read = store.settings();
    EXPECT_EQ(read.proxy.mode, defaults.proxy.mode);
    EXPECT_EQ(read.proxy.scheme, defaults.proxy.scheme);
    EXPECT_EQ(read.proxy.port, defaults.proxy.port);
    EXPECT_EQ(read.proxy.password, QStringLiteral("hunter2"));
    EXPECT_EQ(QFile(path()).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
              QFileDevice::Permissions());
    EXPECT_EQ(read.speed.limited, defaults.speed.limited);
    EXPECT_EQ(read.speed.kibPerSecond, defaults.speed.kibPerSecond);
    EXPECT_TRUE(read.speed.scheduled);
    EXPECT_EQ(read.speed.scheduledKibPerSecond, 64);
    EXPECT_EQ(read.speed.from, defaults.speed.from);
    EXPECT_EQ(read.speed.to, QTime(7, 30));
    EXPECT_EQ(read.onDownloadComplete, QStringLiteral("/bin/unpack,--here"));
    const QStringList damaged{QStringLiteral("proxy/mode"),         QStringLiteral("proxy/scheme"),
                              QStringLiteral("proxy/port"),         QStringLiteral("speed/limited"),
                              QStringLiteral("speed/kibPerSecond"), QStringLiteral("speed/from"),
                              QStringLiteral("remote/enabled"),     QStringLiteral("remote/port")};
    ASSERT_EQ(store.warnings().size(), damaged.size()) << store.warnings().join(u'\n').toStdString();
    for (int i = 0; i < damaged.size(); ++i)
        EXPECT_TRUE(store.warnings()[i].contains(damaged[i])) << store.warnings()[i].toStdString();
    EXPECT_FALSE(store.warnings().join(u' ').contains(QStringLiteral("sideways")));
}

TEST_F(SettingsStoreTest, ARemoteSecretWrittenByHandMakesTheFilePrivate)
{
    writeRaw("[remote]\nenabled=true\nsecret=tok\n");
    QFile(path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    QSettings file(path(), QSettings::IniFormat);
    const SettingsStore store(file);
    EXPECT_TRUE(store.settings().remote.enabled && store.settings().remote.secret == QStringLiteral("tok"));
    EXPECT_EQ(QFile(path()).permissions() & QFileDevice::ReadOther, QFileDevice::Permissions());
}

TEST_F(SettingsStoreTest, AManualProxyWithoutHostFallsBackToTheSystems)
{
    writeRaw("[proxy]\nmode=manual\nport=8080\n");
    QSettings file(path(), QSettings::IniFormat);
    const SettingsStore store(file);
    EXPECT_EQ(store.settings().proxy.mode, ProxySetting::Mode::System);
    EXPECT_EQ(store.warnings().size(), 1);
}

TEST_F(SettingsStoreTest, ChangesAreKeptPrivatelyAndSaidOncePerPart)
{
    Settings changed;
    changed.proxy = {ProxySetting::Mode::Manual, QStringLiteral("socks5h"), QStringLiteral("proxy.lan"), 1080,
                     QStringLiteral("me"),       QStringLiteral("hunter2"), QStringLiteral("localhost")};
    changed.speed.limited = true;
    changed.speed.kibPerSecond = 300;
    changed.remote = {true, 6801, QStringLiteral("s3cret")};
    {
        QSettings file(path(), QSettings::IniFormat);
        SettingsStore store(file);
        QSignalSpy proxy(&store, &SettingsStore::proxyChanged);
        QSignalSpy speed(&store, &SettingsStore::speedLimitChanged);
        QSignalSpy command(&store, &SettingsStore::onDownloadCompleteChanged);
        QSignalSpy remote(&store, &SettingsStore::remoteControlChanged);
        EXPECT_EQ(store.change(changed), QString());
        EXPECT_EQ(store.change(changed), QString());
        EXPECT_EQ(proxy.count(), 1);
        EXPECT_EQ(speed.count(), 1);
        EXPECT_EQ(command.count(), 0);
        EXPECT_EQ(remote.count(), 1);
        EXPECT_EQ(QFile(path()).permissions() & 0x0777 & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                  QFileDevice::Permissions());
        EXPECT_EQ(QFile(path()).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
                  QFileDevice::Permissions());
    }
    QSettings again(path(), QSettings::IniFormat);
    SettingsStore reread(again);
    EXPECT_EQ(reread.settings(), changed);
    EXPECT_TRUE(reread.warnings().isEmpty());
    // The defaults, kept, read back as themselves.
    EXPECT_EQ(reread.change(Settings()), QString());
    QSettings defaults(path(), QSettings::IniFormat);
    const SettingsStore readDefaults(defaults);
    EXPECT_EQ(readDefaults.settings(), Settings());
    EXPECT_TRUE(readDefaults.warnings().isEmpty()) << readDefaults.warnings().join(u' ').toStdString();
}

} // namespace
