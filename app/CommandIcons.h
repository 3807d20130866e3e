// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>

/**
 * The pictures of the commands, numbered as the window's image list: the desktop theme's icon
 * where the theme has one, else a bundled 16 x 16 picture. UI thread only.
 */
class CommandIcons final
{
public:
    static constexpr int imageCount = 19;

    /** Picture number index, 0 to imageCount - 1. */
    static QIcon image(int index);
    /** The power-off button's own glyph. */
    static QIcon shutGlyph();
    static QIcon windowIcon();

private:
    static QIcon bundled(const QString &name);
    static QIcon themed(const char *themeName, const char *bundledName);
};
