// SPDX-License-Identifier: MIT
#pragma once

#include <QProxyStyle>

/**
 * The window's style, except that a menu bar title with a picture shows the picture before its
 * text: Qt's own styles show either the one or the other. Set on the menu bar only; the menu
 * bar owns it. UI thread only.
 */
class MenuBarStyle final : public QProxyStyle
{
    Q_OBJECT

public:
    explicit MenuBarStyle(QStyle *base);

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &contentsSize,
                           const QWidget *widget) const override;
};
