// SPDX-License-Identifier: MIT
#include "app/ToolStrip.h"

#include <QToolButton>

namespace {
constexpr int separatorWidth = 8;
} // namespace

ToolStrip::ToolStrip(Qt::Orientation orientation, int buttonSize, QWidget *parent)
    : QFrame(parent), m_orientation(orientation), m_buttonSize(buttonSize)
{
}

QToolButton *ToolStrip::addButton(const QString &name, const QIcon &icon, const QString &toolTip)
{
    auto *button = new QToolButton(this);
    button->setObjectName(name);
    button->setIcon(icon);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const QPoint place = m_orientation == Qt::Horizontal ? QPoint(m_offset, 0) : QPoint(0, m_offset);
    button->setGeometry(QRect(place, QSize(m_buttonSize, m_buttonSize)));
    m_offset += m_buttonSize;
    return button;
}

void ToolStrip::addSeparator()
{
    auto *line = new QFrame(this);
    line->setFrameShape(m_orientation == Qt::Horizontal ? QFrame::VLine : QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(m_orientation == Qt::Horizontal
                          ? QRect(m_offset + 3, 3, 2, m_buttonSize - 6)
                          : QRect(3, m_offset + 3, m_buttonSize - 6, 2));
    m_offset += separatorWidth;
}
