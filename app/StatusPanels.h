// SPDX-License-Identifier: MIT
#pragma once

#include <QStatusBar>

#include <array>

class QLabel;

/**
 * StatusBar1: three text panels of fixed widths (190, 50, 50 at start) that the page flow and the
 * transfer display write. Panel indexes are 0 to 2. UI thread only.
 */
class StatusPanels final : public QStatusBar
{
    Q_OBJECT

public:
    static constexpr int panelCount = 3;

    explicit StatusPanels(QWidget *parent);

    /** Shows text up to its first NUL: fixed-length texts are padded with NULs. */
    void setPanelText(int panel, const QString &text);
    QString panelText(int panel) const;
    void setPanelWidth(int panel, int width);
    int panelWidth(int panel) const;

private:
    std::array<QLabel *, panelCount> m_panels{};
};
