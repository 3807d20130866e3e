// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class ShutdownCountdown;

/**
 * Shows a running power-off countdown with a focused Cancel button. Opened with show(), never
 * exec(), so the queue goes on behind it; it closes and deletes itself when the count ends,
 * whatever ended it. UI thread only.
 */
class ShutdownCountdownDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit ShutdownCountdownDialog(ShutdownCountdown &countdown, QWidget *parent = nullptr);

    QString text() const;
    int remaining() const;

    /** Cancel, Esc and the title bar's close button all cancel the count. */
    void reject() override;

    /**
     * Says in window's one warning box, not modal, that an armed power-off will not happen: at the
     * end of the queue nobody may be there to close it. A later word replaces the earlier one.
     */
    static void showUnavailable(QWidget &window, const QString &text);

private:
    void showRemaining(int seconds);
    void dismiss();

    QPointer<ShutdownCountdown> m_countdown;
    QLabel *m_label;
    int m_remaining = 0;
};
