// SPDX-License-Identifier: MIT
#include "app/StatusPanels.h"

#include "automation/ShownText.h"

#include <QEvent>
#include <QLabel>
#include <QLayout>

#include <algorithm>

namespace {
constexpr int lastPanel = StatusPanels::panelCount - 1;

// The label's indent of half an "x" and the other half as slack.
int margins(const QLabel &label)
{
    return 2 * label.frameWidth() + label.fontMetrics().horizontalAdvance(QLatin1Char('x'));
}
} // namespace

StatusPanels::StatusPanels(QWidget *parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    for (int i = 0; i < panelCount; ++i) {
        auto *panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // Its width comes from fit(), never from the text it shows, which elide() cuts to it. The
        // last panel takes what room is left, up to what its text needs.
        panel->setSizePolicy(i == lastPanel ? QSizePolicy::Ignored : QSizePolicy::Fixed, QSizePolicy::Preferred);
        panel->installEventFilter(this);
        addWidget(panel, i == lastPanel ? 1 : 0);
        m_panels[std::size_t(i)] = panel;
        fit(i);
    }
}

void StatusPanels::setPanelText(int panel, const QString &text)
{
    // A file name or a server's reason is in it: no password, nothing that reorders the panel.
    m_texts.at(std::size_t(panel)) = shownText(text.left(text.indexOf(QChar(u'\0'))));
    fit(panel);
    elide(panel);
}

QString StatusPanels::panelText(int panel) const
{
    return m_texts.at(std::size_t(panel));
}

void StatusPanels::showLastingNotice(const QString &text, const QString &whole)
{
    if (!m_notice) {
        m_notice = new QLabel(this);
        m_notice->setObjectName(QStringLiteral("Notice"));
        m_notice->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        addPermanentWidget(m_notice);
    }
    m_notice->setText(shownText(text));
    m_notice->setToolTip(shownText(whole));
    m_notice->setAccessibleName(shownText(whole));
}

void StatusPanels::hideLastingNotice(const QString &text)
{
    if (m_notice && m_notice->text() == shownText(text)) {
        delete m_notice;
        m_notice = nullptr;
    }
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

bool StatusPanels::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        const auto found = std::find(m_panels.begin(), m_panels.end(), watched);
        if (found != m_panels.end())
            elide(int(found - m_panels.begin()));
    }
    return QStatusBar::eventFilter(watched, event);
}

// The widths count five pixels a character, which the window's font does not keep to: a time
// or a file name would lose its last characters.
void StatusPanels::fit(int panel)
{
    QLabel *label = m_panels.at(std::size_t(panel));
    const int given = m_widths.at(std::size_t(panel));
    const int needed = label->fontMetrics().horizontalAdvance(m_texts.at(std::size_t(panel))) + margins(*label);
    const int wanted = std::max(given, needed);
    label->setMaximumWidth(wanted);
    // The width the flow gives a file name's panel counts its characters, which may be more than
    // the window has room for: the panel claims no more than its designed width.
    label->setMinimumWidth(panel == lastPanel ? std::min(wanted, designedWidths[lastPanel]) : wanted);
    // Qt does not tell the layout when a widget of fixed width changes it. At once, not at the
    // next turn of the event loop: whoever set the text may read the width.
    layout()->invalidate();
    layout()->activate();
}

void StatusPanels::elide(int panel)
{
    QLabel *label = m_panels.at(std::size_t(panel));
    const QString &text = m_texts.at(std::size_t(panel));
    // The start of a file name says what it is and its end the type; the middle can go. Measured
    // as fit() measures, or a panel sized to its text would lose a character to rounding.
    const QFontMetrics metrics = label->fontMetrics();
    const int room = label->width() - margins(*label);
    const QString shown =
        metrics.horizontalAdvance(text) <= room ? text : metrics.elidedText(text, Qt::ElideMiddle, room);
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : text);
}
