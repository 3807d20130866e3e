// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>

/** The application-wide settings every front end with windows makes first. UI thread only. */
class AppSetup final
{
public:
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
