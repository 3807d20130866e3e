// SPDX-License-Identifier: MIT
#include "app/QueueKeeping.h"

#include "app/StatusPanels.h"
#include "app/TForm1.h"

#include <QAction>
#include <QSettings>

QueueKeeping::QueueKeeping(TForm1 &window, DownloadSession &session, UrlDownloadService &downloads, StateFile &file,
                           QSettings &settings, const QString &saveFolder, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_settings(settings)
    , m_keeper(session, downloads, file, QueueKeeper::Keeps::QueueAndHistory)
{
    connect(&m_keeper, &QueueKeeper::saveFailed, this,
            [this](const QString &why) { m_window.StatusBar1->showLastingNotice(saveFailedNotice(), why); });
    connect(&m_keeper, &QueueKeeper::saveRecovered, this,
            [this] { m_window.StatusBar1->hideLastingNotice(saveFailedNotice()); });
    const bool keeping = m_settings.value(settingsKey(), true).toBool();
    m_window.KeepQueue1->setChecked(keeping);
    if (keeping) {
        const QString said = m_keeper.restore(saveFolder);
        if (!said.isEmpty())
            m_window.setStatusText(0, said);
    } else {
        m_keeper.setKeeping(false);
    }
    connect(m_window.KeepQueue1, &QAction::toggled, this, &QueueKeeping::setKeeping);
}

void QueueKeeping::setKeeping(bool keeping)
{
    m_settings.setValue(settingsKey(), keeping);
    m_keeper.setKeeping(keeping);
    m_window.setStatusText(0, keeping ? QStringLiteral("下载列表会保存") : QStringLiteral("下载列表不再保存"));
}

bool QueueKeeping::saveNow()
{
    if (!m_window.KeepQueue1->isChecked())
        return false;
    m_keeper.flush();
    return true;
}
