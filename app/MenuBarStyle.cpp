// SPDX-License-Identifier: MIT
#include "app/MenuBarStyle.h"

#include <QPainter>
#include <QStyleOptionMenuItem>

namespace {
constexpr int gap = 2;
} // namespace

MenuBarStyle::MenuBarStyle(QStyle *base)
    : QProxyStyle(base)
{
}

void MenuBarStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                               const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (element != CE_MenuBarItem || !item || item->icon.isNull()) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // The base draws the item's background, highlight included; the picture and the text follow.
    QStyleOptionMenuItem background = *item;
    background.icon = QIcon();
    background.text.clear();
    QProxyStyle::drawControl(element, &background, painter, widget);
    const int extent = pixelMetric(PM_SmallIconSize, option, widget);
    const QRect iconRect(item->rect.left() + gap, item->rect.center().y() - extent / 2 + 1, extent, extent);
    const bool enabled = item->state & State_Enabled;
    item->icon.paint(painter, iconRect, Qt::AlignCenter, enabled ? QIcon::Normal : QIcon::Disabled);
    const QRect textRect = item->rect.adjusted(iconRect.right() + 1 - item->rect.left(), 0, 0, 0);
    drawItemText(painter, textRect, Qt::AlignCenter | Qt::TextShowMnemonic, item->palette, enabled, item->text,
                 QPalette::ButtonText);
}

QSize MenuBarStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &contentsSize,
                                     const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (type != CT_MenuBarItem || !item || item->icon.isNull())
        return QProxyStyle::sizeFromContents(type, option, contentsSize, widget);
    // The menu bar measured the picture alone.
    const QSize text = item->fontMetrics.size(Qt::TextShowMnemonic, item->text);
    const QSize both(contentsSize.width() + gap + text.width(), std::max(contentsSize.height(), text.height()));
    return QProxyStyle::sizeFromContents(type, option, both, widget);
}
