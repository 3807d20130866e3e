// SPDX-License-Identifier: MIT
#pragma once

#include <QFrame>

class QToolButton;

/**
 * A row or column of image-only tool buttons of one size at fixed offsets, with 8-pixel
 * separators, so each button sits exactly where the window's design puts it. UI thread only.
 */
class ToolStrip final : public QFrame
{
    Q_OBJECT

public:
    ToolStrip(Qt::Orientation orientation, int buttonSize, QWidget *parent);

    /** A button at the next free offset. */
    QToolButton *addButton(const QString &name, const QIcon &icon, const QString &toolTip);
    void addSeparator();

private:
    Qt::Orientation m_orientation;
    int m_buttonSize;
    int m_offset = 0;
};
