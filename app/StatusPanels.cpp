// SPDX-License-Identifier: MIT
#include "app/StatusPanels.h"

#include <QLabel>

StatusPanels::StatusPanels(QWidget *parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    const std::array<int, panelCount> widths = {190, 50, 50};
    for (int i = 0; i < panelCount; ++i) {
        auto *panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setFixedWidth(widths[std::size_t(i)]);
        addWidget(panel);
        m_panels[std::size_t(i)] = panel;
    }
}

void StatusPanels::setPanelText(int panel, const QString &text)
{
    m_panels.at(std::size_t(panel))->setText(text.left(text.indexOf(QChar(u'\0'))));
}

QString StatusPanels::panelText(int panel) const
{
    return m_panels.at(std::size_t(panel))->text();
}

void StatusPanels::setPanelWidth(int panel, int width)
{
    m_panels.at(std::size_t(panel))->setFixedWidth(width);
}

int StatusPanels::panelWidth(int panel) const
{
    return m_panels.at(std::size_t(panel))->width();
}
