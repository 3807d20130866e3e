// SPDX-License-Identifier: MIT
// Links handed to the window: the program's arguments, a paste, a drop, a copy the clipboard
// watch sees. All of them go through LinkIntake and end in the status bar.
#include "app/ClipboardWatch.h"
#include "app/StatusPanels.h"
#include "app/TForm1.h"
#include "platform/clipboard/ClipboardReader.h"
#include "queue/DownloadQueue.h"
#include "queue/LinkIntake.h"

#include <QAction>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QSettings>

namespace {

QSettings keptSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("quorvel"), QStringLiteral("quorvel"));
}

} // namespace

void TForm1::addLinks(const QStringList &urlsOrListFiles)
{
    LinkIntake intake;
    for (const QString &each : urlsOrListFiles)
        intake.addArgument(each);
    takeIn(intake);
}

int TForm1::addHandedLinks(const QStringList &urlsOrListFiles)
{
    LinkIntake intake;
    for (const QString &each : urlsOrListFiles)
        intake.addArgument(each);
    takeIn(intake);
    setStatusText(0, QStringLiteral("另一次启动交来的网址: %1").arg(intake.result().summary()));
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    return int(intake.result().urls.size());
}

void TForm1::addLinks(const QMimeData &data)
{
    LinkIntake intake;
    if (data.hasUrls()) {
        for (const QUrl &url : data.urls()) {
            if (url.isLocalFile())
                intake.addFile(url.toLocalFile());
            else
                intake.addText(url.toString(QUrl::FullyEncoded) + u'\n');
        }
    } else if (data.hasText()) {
        intake.addText(data.text());
    }
    takeIn(intake);
}

void TForm1::pasteRead(const QString &text, bool cutShort)
{
    LinkIntake intake;
    intake.addText(text, cutShort);
    takeIn(intake);
}

void TForm1::takeIn(const LinkIntake &intake)
{
    const LinkIntake::Result &result = intake.result();
    m_queue.appendAll(result.urls);
    // With nothing current a start would find nothing to open; a current one, or a run, stays.
    if (m_queue.currentUrl().isEmpty() && m_session.isAtRest())
        m_queue.showHead();
    setStatusText(0, result.summary());
}

void TForm1::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls() || event->mimeData()->hasText())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent *event)
{
    event->acceptProposedAction();
    addLinks(*event->mimeData());
}

void TForm1::watchClipboard()
{
    connect(&m_pasteReader, &ClipboardReader::textRead, this, &TForm1::pasteRead);
    connect(&m_pasteReader, &ClipboardReader::failed, this,
            [this](const QString &why) { setStatusText(0, QStringLiteral("不能读取剪贴板: %1").arg(why)); });
    if (QClipboard *clipboard = QGuiApplication::clipboard()) {
        m_clipboardWatch = new ClipboardWatch(*clipboard, m_watchReader, this);
        connect(m_clipboardWatch, &ClipboardWatch::urlCopied, this, &TForm1::urlCopied);
    }
    const bool watching = keptSettings().value(watchClipboardKey(), false).toBool();
    WatchClipboard1->setChecked(watching);
    if (m_clipboardWatch)
        m_clipboardWatch->setWatching(watching);
    connect(WatchClipboard1, &QAction::toggled, this, &TForm1::WatchClipboard1Click);
}

void TForm1::WatchClipboard1Click(bool watching)
{
    keptSettings().setValue(watchClipboardKey(), watching);
    if (m_clipboardWatch)
        m_clipboardWatch->setWatching(watching);
    setStatusText(0, watching ? QStringLiteral("正在监视剪贴板") : QStringLiteral("不再监视剪贴板"));
}

void TForm1::urlCopied(const QString &url)
{
    // Finished entries leave the queue; one still in it waits, or failed and waits for a start.
    if (m_queue.indexOfUrl(url) >= 0) {
        setStatusText(0, QStringLiteral("剪贴板中的网址已在下载列表中: %1").arg(url));
        return;
    }
    LinkIntake intake;
    intake.addText(url);
    takeIn(intake);
    setStatusText(0, QStringLiteral("已从剪贴板添加: %1").arg(url));
}
