// SPDX-License-Identifier: MIT
#pragma once

#include "flow/FlowView.h"

#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QTextStream>

#include <array>
#include <cstdint>

/**
 * The batch runner's status bar: one line each time the state text changes, and on a terminal a
 * live progress line redrawn in place. Off a terminal it writes plain lines only, no control codes.
 * Thread contract: UI thread only.
 */
class ConsoleView final : public QObject, public FlowView
{
    Q_OBJECT
public:
    ConsoleView(QTextStream &out, QTextStream &err, bool liveLine, QString saveFolder,
                QObject *parent = nullptr);

    void setStatusText(int panel, const QString &text) override;
    void setStatusWidth(int, int) override {}
    void setField(Field field, const QString &text) override;
    QString saveFolder() const override { return m_saveFolder; }
    void showError(const QString &message) override;

    /** A line of the runner's own (a file done, a URL dropped, the summary), as shownText shows it. */
    void say(const QString &line);
    /** Feeds the speed shown in the live line. */
    void transferProgressed(std::uint32_t receivedKiB);

private:
    void scheduleRender();
    void render();
    void clearLiveLine();

    QTextStream &m_out;
    QTextStream &m_err;
    const bool m_liveLine;
    const QString m_saveFolder;
    std::array<QString, 3> m_status;
    QMap<Field, QString> m_fields;
    QString m_lastState;
    bool m_renderPending = false;
    bool m_liveLineShown = false;
    QElapsedTimer m_speedClock;
    std::uint32_t m_speedBaseKiB = 0;
    double m_kibPerSecond = 0.0;
};
