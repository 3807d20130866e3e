// SPDX-License-Identifier: MIT
#include "app/StatusPanels.h"

#include <QLabel>

#include <algorithm>

StatusPanels::StatusPanels(QWidget *parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    for (int i = 0; i < panelCount; ++i) {
        auto *panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        addWidget(panel);
        m_panels[std::size_t(i)] = panel;
        fit(i);
    }
}

void StatusPanels::setPanelText(int panel, const QString &text)
{
    m_panels.at(std::size_t(panel))->setText(text.left(text.indexOf(QChar(u'\0'))));
    fit(panel);
}

QString StatusPanels::panelText(int panel) const
{
    return m_panels.at(std::size_t(panel))->text();
}

void StatusPanels::setPanelWidth(int panel, int width)
{
    m_widths.at(std::size_t(panel)) = width;
    fit(panel);
}

int StatusPanels::panelWidth(int panel) const
{
    return m_panels.at(std::size_t(panel))->width();
}

// The widths count five pixels a character, which the window's font does not keep to: a time
// or a file name would lose its last characters.
void StatusPanels::fit(int panel)
{
    QLabel *label = m_panels.at(std::size_t(panel));
    const QFontMetrics metrics = label->fontMetrics();
    // The frame on both sides and the label's indent of half an "x", with the other half as slack.
    const int needed = metrics.horizontalAdvance(label->text()) + 2 * label->frameWidth()
                       + metrics.horizontalAdvance(QLatin1Char('x'));
    label->setFixedWidth(std::max(m_widths.at(std::size_t(panel)), needed));
}
