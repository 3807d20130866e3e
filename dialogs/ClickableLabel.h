// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>

/** A label that reports a left click and shows the hand cursor. UI thread only. */
class ClickableLabel final : public QLabel
{
    Q_OBJECT

public:
    explicit ClickableLabel(const QString &text, QWidget *parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
