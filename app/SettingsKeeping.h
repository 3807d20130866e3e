// SPDX-License-Identifier: MIT
#pragma once

#include <QMap>
#include <QObject>
#include <QString>

class SettingsStore;
class TForm1;

/**
 * The window's "设置": the Tools menu's item opens the dialog on the kept settings, and OK keeps
 * what it holds. What the reading of the settings file could not take is said in the status bar
 * at start; a setting the program could not apply is a lasting notice, and said in the dialog,
 * until it applies. UI thread only.
 */
class SettingsKeeping final : public QObject
{
    Q_OBJECT

public:
    static QString notAppliedNotice() { return QStringLiteral("设置未应用"); }

    SettingsKeeping(TForm1 &window, SettingsStore &store, QObject *parent = nullptr);

    /** What of part could not be applied, or empty once it is. */
    void setNotApplied(const QString &part, const QString &why);

    void Settings1Click();

private:
    QStringList notAppliedReasons() const;

    TForm1 &m_window;
    SettingsStore &m_store;
    QMap<QString, QString> m_notApplied;
};
