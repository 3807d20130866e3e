// SPDX-License-Identifier: MIT
#include "MainWindowFixture.h"

#include "app/QueueKeeping.h"
#include "app/RemoteControlKeeping.h"
#include "app/SettingsKeeping.h"
#include "app/StatusPanels.h"
#include "platform/rpc/RemoteControl.h"
#include "settings/SettingsStore.h"
#include "tests/support/Budget.h"
#include "tests/support/FakeStateFile.h"

#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListView>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

/** One JSON-RPC call over HTTP, as a client on this machine sends it; null when nothing answered. */
QJsonValue call(quint16 port, const QString &secret, const QString &method, QJsonArray params = {})
{
    params.prepend(u"token:"_s + secret);
    const QByteArray body = QJsonDocument(QJsonObject{{u"jsonrpc"_s, u"2.0"_s},
                                                      {u"id"_s, 1},
                                                      {u"method"_s, method},
                                                      {u"params"_s, params}})
                                .toJson(QJsonDocument::Compact);
    QTcpSocket socket;
    QByteArray received;
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [&] { received += socket.readAll(); });
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write("POST /jsonrpc HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port)
                 + "\r\nConnection: close\r\nContent-Type: application/json\r\nContent-Length: "
                 + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    runWithinBudget([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, 5s);
    const QJsonObject answer = QJsonDocument::fromJson(received.mid(received.indexOf("\r\n\r\n") + 4)).object();
    return answer.contains(u"result"_s) ? answer.value(u"result"_s) : answer.value(u"error"_s);
}

class RemoteControlWindow : public MainWindowFixture
{
protected:
    void turnOn(quint16 port, const QString &secret)
    {
        Settings changed = store.settings();
        changed.remote = {true, port, secret};
        store.change(changed);
    }
    bool notAppliedShown() const
    {
        for (const QLabel *label : form->StatusBar1->findChildren<QLabel *>()) {
            if (label->isVisibleTo(form) && label->text() == SettingsKeeping::notAppliedNotice())
                return label->toolTip().contains(RemoteControlKeeping::part());
        }
        return false;
    }

    QSettings file{home.filePath(u"quorvel.ini"_s), QSettings::IniFormat};
    SettingsStore store{file};
    SettingsKeeping settingsKeeping{*form, store};
    FakeStateFile stateFile;
    QueueKeeping queueKeeping{*form, session, downloads, stateFile, file, defaultFolder()};
    RemoteControl remote{session};
    RemoteControlKeeping keeping{*form, remote, store, settingsKeeping, queueKeeping};
};

} // namespace

TEST_F(RemoteControlWindow, TheSettingTurnsItOnAndWhatClientsDoIsTheWindowsOwn)
{
    const quint16 port = freePort();
    EXPECT_FALSE(remote.isRunning()) << "off unless turned on";
    turnOn(port, u"s3cret"_s);
    ASSERT_TRUE(remote.isRunning());
    EXPECT_TRUE(form->StatusBar1->panelText(0).contains(QString::number(port)));

    const QJsonValue gid = call(port, u"s3cret"_s, u"aria2.addUri"_s, {QJsonArray{u"http://host/page"_s}});
    ASSERT_TRUE(gid.isString()) << QJsonDocument(gid.toObject()).toJson().constData();
    EXPECT_EQ(form->ListBox1->model()->rowCount(), 1) << "a link added remotely is in the list at once";
    // A client's limit is the user's: kept, and shown in the dialog.
    EXPECT_EQ(call(port, u"s3cret"_s, u"aria2.changeGlobalOption"_s,
                   {QJsonObject{{u"max-overall-download-limit"_s, u"2M"_s}}}),
              u"OK"_s);
    EXPECT_EQ(QSettings(file.fileName(), QSettings::IniFormat).value(u"speed/kibPerSecond"_s).toInt(), 2048);
    EXPECT_TRUE(store.settings().speed.limited);
    stateFile.setContent({});
    EXPECT_EQ(call(port, u"s3cret"_s, u"aria2.saveSession"_s), u"OK"_s);
    EXPECT_TRUE(stateFile.content().value_or(QByteArray()).contains("http://host/page"));
    form->KeepQueue1->trigger();
    EXPECT_TRUE(call(port, u"s3cret"_s, u"aria2.saveSession"_s).isObject()) << "a list not kept is not saved";

    // A new secret shuts out whoever knew the old one.
    turnOn(port, u"other"_s);
    EXPECT_EQ(call(port, u"s3cret"_s, u"aria2.getVersion"_s)[u"message"_s], u"Unauthorized"_s);
    EXPECT_TRUE(call(port, u"other"_s, u"aria2.getVersion"_s).isObject());

    Settings off = store.settings();
    off.remote.enabled = false;
    store.change(off);
    EXPECT_FALSE(remote.isRunning());
    EXPECT_TRUE(call(port, u"other"_s, u"aria2.getVersion"_s).isUndefined());
}

TEST_F(RemoteControlWindow, APortInUseIsASettingNotAppliedUntilAStartSucceeds)
{
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    turnOn(taken.serverPort(), u"s3cret"_s);
    EXPECT_FALSE(remote.isRunning());
    EXPECT_TRUE(notAppliedShown());
    turnOn(freePort(), u"s3cret"_s);
    EXPECT_TRUE(remote.isRunning());
    EXPECT_FALSE(notAppliedShown());
}
