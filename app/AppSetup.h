// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QApplication;

/** The application-wide settings every front end with windows makes first. UI thread only. */
class AppSetup final
{
public:
    /**
     * What the window program answers before it needs a display: the text of --help or
     * --version for stdout, or none when the window is to open. arguments as main() gets them.
     */
    static std::optional<QString> commandLineAnswer(const QStringList &arguments);
    /**
     * The URLs and list files among arguments (as main() gets them), without Qt's own options;
     * a file:// URL becomes its path, and a path is made absolute, since the window that reads it
     * may run in another folder.
     */
    static QStringList linkArguments(const QStringList &arguments);
    /**
     * The application object. When no display can be opened, says on stderr how to run Quorvel
     * without one and exits with status 1, where Qt would abort and leave a core.
     */
    static std::unique_ptr<QApplication> openDisplay(int &argc, char **argv);
    /**
     * Title "Quorvel V.1.1", window icon, SimSun 9 pt with CJK faces standing in for it, and Qt's
     * own Simplified Chinese texts for its standard dialogs and menus.
     */
    static void apply();
    /** SimSun 9 pt, with the CJK faces that stand in for it where it is missing. */
    static QFont windowFont();

private:
    static void translateQt();
};
