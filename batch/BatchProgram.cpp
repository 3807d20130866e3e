// SPDX-License-Identifier: MIT
#include "batch/BatchProgram.h"

#include "automation/ShownText.h"
#include "platform/pattern/Re2PatternCompiler.h"
#include "platform/system/DownloadFolder.h"

BatchProgram::BatchProgram(const BatchOptions &options, PowerRequest &power, SleepInhibitor &sleep, Console console,
                           BatchTiming timing, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_browser(m_session)
    , m_service(m_session)
    , m_console(console.out, console.err, console.liveLine, options.folder)
    , m_layouts(LayoutLoader::load(LayoutLoader::standardFolders(), Re2PatternCompiler()))
    , m_downloadSession({m_browser, m_service, power, timing.clock ? *timing.clock : m_systemClock, &m_console,
                         DownloadFolder::defaultPath(), timing.countdownStep, options.retryFor, &m_layouts.layouts})
    , m_runner(m_downloadSession, m_console)
    , m_keepAwake(sleep, m_downloadSession)
{
    m_downloadSession.setOnDownloadComplete(options.onDownloadComplete);
    for (const LayoutError &error : m_layouts.errors)
        console.err << QStringLiteral("quorvel-batch: 已跳过布局 ") << shownText(error.text()) << Qt::endl;
    connect(&m_runner, &BatchRunner::finished, this, [this](int exitCode) {
        // The end of the countdown ends the run before logind has answered; a refusal is still said.
        if (!m_downloadSession.shutdown().powerOffPending())
            emit finished(exitCode);
        else
            connect(&m_downloadSession.shutdown(), &ShutdownSwitch::powerOffAnswered, this,
                    [this, exitCode] { emit finished(exitCode); });
    });
    connect(&m_keepAwake, &KeepAwake::unavailable, &m_console, &ConsoleView::showError);
    connect(&m_downloadSession.shutdown(), &ShutdownSwitch::powerOffUnavailable, &m_console, &ConsoleView::showError);
}

void BatchProgram::start()
{
    const QString folder = m_options.folder.isEmpty() ? DownloadFolder::defaultPath() : m_options.folder;
    QString why;
    if (!DownloadFolder::create(folder, &why)) {
        m_console.showError(QStringLiteral("无法创建文件夹 %1: %2").arg(folder, why));
        emit finished(2);
        return;
    }
    m_console.say(QStringLiteral("保存到 ") + folder);
    if (const QString why = m_session.setProxy(m_options.proxy); !why.isEmpty()) {
        m_console.showError(QStringLiteral("无法使用代理 %1: %2").arg(m_options.proxy.shown(), why));
        emit finished(2);
        return;
    }
    if (m_options.proxy.mode == ProxySetting::Mode::Manual)
        m_console.say(QStringLiteral("代理 ") + m_options.proxy.shown());
    m_service.setSpeedLimit(m_options.maxDownloadLimit);
    if (!keepSession() || (m_options.rpc && !startRemoteControl()))
        return;
    QList<PartialFile> parts;
    for (const DownloadEntry &entry : m_options.entries) {
        if (entry.part)
            parts.append(*entry.part);
    }
    // No folder is swept: the parts there may belong to a window's kept queue.
    m_service.adoptPartials(parts, {});
    m_runner.start(m_options.entries, m_options.shutdown);
}

bool BatchProgram::keepSession()
{
    if (m_options.saveSession.isEmpty())
        return true;
    m_sessionFile.emplace(m_options.saveSession);
    m_keeper = std::make_unique<QueueKeeper>(m_downloadSession, m_service, *m_sessionFile,
                                             QueueKeeper::Keeps::QueueOnly);
    connect(m_keeper.get(), &QueueKeeper::saveFailed, &m_console, &ConsoleView::showError);
    connect(m_keeper.get(), &QueueKeeper::saveRecovered, &m_console,
            [this] { m_console.say(QStringLiteral("下载列表又能保存了: ") + m_options.saveSession); });
    QString notice;
    const bool keeping = m_keeper->startAfresh(notice);
    if (!notice.isEmpty())
        m_console.showError(notice);
    if (!keeping) {
        // Two runs writing one file would each lose the other's entries.
        m_keeper.reset();
        emit finished(2);
    }
    return keeping;
}

bool BatchProgram::startRemoteControl()
{
    if (m_keeper)
        m_remoteControl.setSessionSaver([this] {
            m_keeper->flush();
            return true;
        });
    m_remoteControl.setSpeedLimit(m_options.maxDownloadLimit);
    connect(&m_remoteControl, &RemoteControl::speedLimitAsked, this, [this](qint64 bytesPerSecond) {
        m_service.setSpeedLimit(bytesPerSecond);
        m_remoteControl.setSpeedLimit(bytesPerSecond);
    });
    connect(&m_remoteControl, &RemoteControl::shutdownRequested, this, [this](bool force) {
        interrupt();
        if (force)
            interrupt();
    });
    QString why;
    if (!m_remoteControl.start(*m_options.rpc, &why)) {
        m_console.showError(why);
        emit finished(2);
        return false;
    }
    m_runner.waitForWork();
    m_console.say(QStringLiteral("远程控制 (aria2 JSON-RPC) 在端口 %1 上等待: /jsonrpc")
                      .arg(QString::number(m_remoteControl.port())));
    return true;
}
