// SPDX-License-Identifier: MIT
#pragma once

#include "keep/QueueKeeper.h"

#include <QObject>
#include <QString>

class DownloadSession;
class QSettings;
class StateFile;
class TForm1;
class UrlDownloadService;

/**
 * The window's kept queue: at start it puts back what the state file keeps and says so in the
 * status bar; the "保存下载列表" menu item turns keeping off and on, and the choice is kept in
 * the settings; a save that fails is a lasting notice until one succeeds. UI thread only.
 */
class QueueKeeping final : public QObject
{
    Q_OBJECT

public:
    /** The settings key of the choice; kept unless turned off. */
    static QString settingsKey() { return QStringLiteral("queue/keep"); }
    static QString saveFailedNotice() { return QStringLiteral("列表未保存"); }

    QueueKeeping(TForm1 &window, DownloadSession &session, UrlDownloadService &downloads, StateFile &file,
                 QSettings &settings, const QString &saveFolder, QObject *parent = nullptr);

    /** Writes the list now, as a remote client may ask; false while it is not kept. */
    bool saveNow();

private:
    void setKeeping(bool keeping);

    TForm1 &m_window;
    QSettings &m_settings;
    QueueKeeper m_keeper;
};
