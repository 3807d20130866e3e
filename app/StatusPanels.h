// SPDX-License-Identifier: MIT
#pragma once

#include <QStatusBar>

#include <array>

class QLabel;

/**
 * StatusBar1: three text panels of set widths (190, 50, 50 at start) that the page flow and the
 * transfer display write; a panel whose text needs more room grows to show it whole. The last
 * panel grows only as far as the window's edge: there its text loses its middle, and the whole
 * text becomes the panel's tooltip. Panel indexes are 0 to 2. UI thread only.
 */
class StatusPanels final : public QStatusBar
{
    Q_OBJECT

public:
    static constexpr int panelCount = 3;
    static constexpr std::array<int, panelCount> designedWidths = {190, 50, 50};

    explicit StatusPanels(QWidget *parent);

    /**
     * Shows text up to its first NUL (fixed-length texts are padded with NULs), as shownText
     * shows it.
     */
    void setPanelText(int panel, const QString &text);
    /** The whole text, also when the panel shows only part of it. */
    QString panelText(int panel) const;
    /**
     * Keeps a short notice at the bar's right end from now on, with whole as its tooltip: for a
     * condition that lasts (the machine may sleep), which the panels, rewritten by every step of a
     * run, would show for a moment only. A later notice replaces it.
     */
    void showLastingNotice(const QString &text, const QString &whole);
    /** The condition is over: the notice text shows goes, if it is the one shown. */
    void hideLastingNotice(const QString &text);
    void setPanelWidth(int panel, int width);
    int panelWidth(int panel) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fit(int panel);
    void elide(int panel);

    std::array<QLabel *, panelCount> m_panels{};
    QLabel *m_notice = nullptr;
    std::array<QString, panelCount> m_texts;
    std::array<int, panelCount> m_widths = designedWidths;
};
