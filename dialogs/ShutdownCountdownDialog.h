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

private:
    void showRemaining(int seconds);
    void dismiss();

    QPointer<ShutdownCountdown> m_countdown;
    QLabel *m_label;
    int m_remaining = 0;
};
