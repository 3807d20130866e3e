// SPDX-License-Identifier: MIT
// The composition root: builds the long-lived objects and hands them down by reference.
#include "app/AppSetup.h"
#include "app/QueueKeeping.h"
#include "app/RemoteControlKeeping.h"
#include "app/RunEndNotice.h"
#include "app/SettingsKeeping.h"
#include "app/StatusPanels.h"
#include "app/TForm1.h"
#include "automation/Clock.h"
#include "flow/DownloadSession.h"
#include "layout/LayoutLoader.h"
#include "platform/clipboard/SystemClipboardReader.h"
#include "platform/download/CurlUrlDownloadService.h"
#include "platform/instance/InstanceName.h"
#include "platform/keep/LocalStateFile.h"
#include "platform/net/CurlSession.h"
#include "platform/notify/DesktopNotifier.h"
#include "platform/pattern/Re2PatternCompiler.h"
#include "platform/power/SystemPowerRequest.h"
#include "platform/power/SystemSleepInhibitor.h"
#include "platform/rpc/RemoteControl.h"
#include "platform/system/DesktopUrlOpener.h"
#include "platform/system/DownloadFolder.h"
#include "platform/web/WebBrowser.h"
#include "power/KeepAwake.h"
#include "settings/SettingsStore.h"
#include "settings/SpeedLimitTimer.h"
#include "transfer/DownloadThread.h"

#include <QApplication>
#include <QSettings>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Before the application object, which cannot be made without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const std::optional<QString> answer = AppSetup::commandLineAnswer(arguments)) {
        std::fputs(answer->toLocal8Bit().constData(), stdout);
        return 0;
    }
    // Before the display, the state file and its lock: a later start only hands its links over,
    // and needs none of them.
    const QStringList links = AppSetup::linkArguments(arguments);
    LocalStateFile stateFile(LocalStateFile::standardPath());
    InstanceName instance;
    TForm1 *window = nullptr;
    if (!instance.isConnected()) {
        // Without the bus a later start cannot be told from the first by its name, but still by
        // the state file's lock: the first one opens its window, a later one none.
        QString why;
        if (!stateFile.claim(why)) {
            std::fprintf(stderr, "quorvel: 没有会话总线 (D-Bus), 不能把网址交给已经打开的主窗口: %s; %s\n",
                         instance.busError().toLocal8Bit().constData(), why.toLocal8Bit().constData());
            return 1;
        }
        std::fprintf(stderr, "quorvel: 没有会话总线 (D-Bus), 以后启动的 quorvel 不能把网址交给这个窗口: %s\n",
                     instance.busError().toLocal8Bit().constData());
    } else if (!instance.claim(
                   [&window](const QStringList &handed) { return window ? window->addHandedLinks(handed) : 0; })) {
        const InstanceName::HandOver handOver = instance.handOver(links);
        if (!handOver.delivered) {
            std::fprintf(stderr, "quorvel: 不能把网址交给已经打开的主窗口: %s\n",
                         handOver.error.toLocal8Bit().constData());
            return 1;
        }
        std::printf("quorvel: 已交给打开的主窗口, 添加了 %d 个网址\n", handOver.added);
        return 0;
    }
    const std::unique_ptr<QApplication> application = AppSetup::openDisplay(argc, argv);
    AppSetup::apply();
    CurlSession session;
    WebBrowser browser(session);
    CurlUrlDownloadService downloads(session);
    const auto power = systemPowerRequest();
    const auto sleepLock = systemSleepInhibitor();
    SystemClock clock;
    DesktopUrlOpener opener;
    const auto notifier = desktopNotifier();
    const LoadedLayouts layouts = LayoutLoader::load(LayoutLoader::standardFolders(), Re2PatternCompiler());
    int exitCode = 0;
    {
        DownloadSession::Services services{browser, downloads, *power, clock, nullptr, DownloadFolder::defaultPath()};
        services.layouts = &layouts.layouts;
        DownloadSession downloadSession(services);
        const auto pasteReader = systemClipboardReader(*QGuiApplication::clipboard());
        const auto watchReader = systemClipboardReader(*QGuiApplication::clipboard());
        TForm1 Form1(downloadSession, opener, *pasteReader, *watchReader);
        // A layout that could not be read is said where the window says everything else.
        if (!layouts.errors.isEmpty())
            Form1.setStatusText(0,
                                QStringLiteral("已跳过布局 %1%2")
                                    .arg(layouts.errors.constFirst().text(),
                                         layouts.errors.size() > 1
                                             ? QStringLiteral(" (共 %1 个)").arg(layouts.errors.size())
                                             : QString()));
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("quorvel"),
                           QStringLiteral("quorvel"));
        // Before the window shows: what it restores is there from its first paint. Gone before
        // the session, it saves the entry whose file was still on its way.
        QueueKeeping keeping(Form1, downloadSession, downloads, stateFile, settings, DownloadFolder::defaultPath());
        // Before the first request: the proxy and the limit hold from the first page on.
        SettingsStore store(settings);
        SettingsKeeping settingsKeeping(Form1, store);
        const auto applyProxy = [&](const ProxySetting &proxy) {
            settingsKeeping.setNotApplied(QStringLiteral("代理"), session.setProxy(proxy));
        };
        applyProxy(store.settings().proxy);
        QObject::connect(&store, &SettingsStore::proxyChanged, &settingsKeeping, applyProxy);
        RemoteControl remote(downloadSession);
        SpeedLimitTimer speedLimit;
        QObject::connect(&speedLimit, &SpeedLimitTimer::bytesPerSecondChanged, &settingsKeeping,
                         [&downloads, &remote](qint64 bytesPerSecond) {
                             downloads.setSpeedLimit(bytesPerSecond);
                             remote.setSpeedLimit(bytesPerSecond);
                         });
        QObject::connect(&store, &SettingsStore::speedLimitChanged, &speedLimit, &SpeedLimitTimer::setLimit);
        speedLimit.setLimit(store.settings().speed);
        downloadSession.setOnDownloadComplete(store.settings().onDownloadComplete);
        QObject::connect(&store, &SettingsStore::onDownloadCompleteChanged, &downloadSession,
                         &DownloadSession::setOnDownloadComplete);
        RemoteControlKeeping remoteKeeping(Form1, remote, store, settingsKeeping, keeping);
        RunEndNotice notice(downloadSession, *notifier, Form1);
        KeepAwake keepAwake(*sleepLock, downloadSession);
        QObject::connect(&keepAwake, &KeepAwake::unavailable, Form1.StatusBar1,
                         [bar = Form1.StatusBar1](const QString &warning) {
                             bar->showLastingNotice(QStringLiteral("可能休眠"), warning);
                         });
        Form1.show();
        if (!links.isEmpty())
            Form1.addLinks(links);
        window = &Form1;
        exitCode = QApplication::exec();
        window = nullptr;
    }
    // Closing the window cancelled a running transfer; its worker keeps or removes the partial
    // file before it ends, and it must end before the cookie session goes.
    DownloadThread::waitForWorkers(std::chrono::milliseconds(2000));
    return exitCode;
}
