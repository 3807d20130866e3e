// SPDX-License-Identifier: MIT
#pragma once

/** The application-wide settings every front end with windows makes first. UI thread only. */
class AppSetup final
{
public:
    /**
     * Title "Quorvel V.1.1", window icon, SimSun 9 pt with CJK faces standing in for it, and Qt's
     * own Simplified Chinese texts for its standard dialogs and menus.
     */
    static void apply();

private:
    static void translateQt();
};
