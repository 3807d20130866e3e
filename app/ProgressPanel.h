// SPDX-License-Identifier: MIT
#pragma once

#include <QFrame>

class QLineEdit;
class ToolStrip;

/**
 * Panel1: the five transfer fields, each with its label above, and the side toolbar ToolBar2.
 * A click on its bare area asks for it to be hidden. UI thread only.
 */
class ProgressPanel final : public QFrame
{
    Q_OBJECT

public:
    explicit ProgressPanel(QWidget *parent);

    QLineEdit *SizeEdit;
    QLineEdit *CmpEdit;
    QLineEdit *percEdit;
    QLineEdit *elpsEdit;
    QLineEdit *EstEdit;
    ToolStrip *ToolBar2;

signals:
    void bareAreaClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QLineEdit *addField(const QString &name, const QString &label, QRect place);
};
