// SPDX-License-Identifier: MIT
#include "app/ProgressPanel.h"

#include "dialogs/FieldLook.h"
#include "app/ToolStrip.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

ProgressPanel::ProgressPanel(QWidget *parent)
    : QFrame(parent)
{
    SizeEdit = addField(QStringLiteral("SizeEdit"), QStringLiteral("总计大小"), {2, 23, 90, 21});
    CmpEdit = addField(QStringLiteral("CmpEdit"), QStringLiteral("已完成"), {2, 83, 90, 21});
    percEdit = addField(QStringLiteral("percEdit"), QStringLiteral("百分比"), {37, 143, 55, 21});
    elpsEdit = addField(QStringLiteral("elpsEdit"), QStringLiteral("已用"), {37, 203, 55, 21});
    EstEdit = addField(QStringLiteral("EstEdit"), QStringLiteral("估计"), {37, 263, 55, 21});
    ToolBar2 = new ToolStrip(Qt::Vertical, 26, this);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setGeometry(3, 140, 26, 137);
}

QLineEdit *ProgressPanel::addField(const QString &name, const QString &label, QRect place)
{
    auto *field = new QLineEdit(this);
    field->setObjectName(name);
    field->setGeometry(place);
    FieldLook::makeGrey(field);
    auto *caption = new QLabel(label, this);
    caption->move(place.left(), place.top() - 15);
    caption->setBuddy(field);
    return field;
}

void ProgressPanel::mousePressEvent(QMouseEvent *event)
{
    // Clicks that a label passes on are not on the bare area.
    if (event->button() == Qt::LeftButton && !childAt(event->position().toPoint()))
        emit bareAreaClicked();
    QFrame::mousePressEvent(event);
}
