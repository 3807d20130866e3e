// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>

class QWidget;

/** The colours of the main window's design. UI thread only. */
class FieldLook final
{
public:
    static constexpr QColor silver{0xC0, 0xC0, 0xC0};
    static constexpr QColor grey{0xD4, 0xD0, 0xC8};

    /** Paints widget's text background grey, as the display-only fields have. */
    static void makeGrey(QWidget *widget);
    /** Paints widget's own background, for windows and panels. */
    static void fillWith(QWidget *widget, QColor colour);
};
