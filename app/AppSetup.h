// SPDX-License-Identifier: MIT
#pragma once

/** The application-wide settings every front end with windows makes first. UI thread only. */
class AppSetup final
{
public:
    /** Title "Quorvel V.1.1", window icon, and SimSun 9 pt with CJK faces standing in for it. */
    static void apply();
};
