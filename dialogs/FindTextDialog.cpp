// SPDX-License-Identifier: MIT
#include "dialogs/FindTextDialog.h"

#include "common/ErrorText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

FindTextDialog::FindTextDialog(QWidget *parent)
    : QDialog(parent), m_pattern(new QLineEdit(this)),
      m_caseSensitive(new QCheckBox(QStringLiteral("区分大小写(&C)"), this)),
      m_upward(new QRadioButton(QStringLiteral("向上(&U)"), this)),
      m_downward(new QRadioButton(QStringLiteral("向下(&D)"), this)),
      m_find(new QPushButton(QStringLiteral("查找下一个(&F)"), this))
{
    setObjectName(QStringLiteral("FindDialog1"));
    setWindowTitle(QStringLiteral("查找"));
    m_downward->setChecked(true);
    m_find->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);

    auto *patternRow = new QHBoxLayout;
    patternRow->addWidget(new QLabel(QStringLiteral("查找内容(&N):"), this));
    patternRow->addWidget(m_pattern);
    auto *direction = new QGroupBox(QStringLiteral("方向"), this);
    auto *directionRow = new QHBoxLayout(direction);
    directionRow->addWidget(m_upward);
    directionRow->addWidget(m_downward);
    auto *optionsRow = new QHBoxLayout;
    optionsRow->addWidget(m_caseSensitive);
    optionsRow->addWidget(direction);
    auto *buttons = new QDialogButtonBox(Qt::Horizontal, this);
    buttons->addButton(m_find, QDialogButtonBox::ActionRole);
    buttons->addButton(cancel, QDialogButtonBox::RejectRole);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(patternRow);
    layout->addLayout(optionsRow);
    layout->addWidget(buttons);

    connect(m_find, &QPushButton::clicked, this, &FindTextDialog::findClicked);
    connect(cancel, &QPushButton::clicked, this, &FindTextDialog::reject);
}

void FindTextDialog::setTarget(QLineEdit *target)
{
    m_target = target;
}

void FindTextDialog::setPattern(const QString &pattern)
{
    m_pattern->setText(pattern);
}

void FindTextDialog::setCaseSensitive(bool caseSensitive)
{
    m_caseSensitive->setChecked(caseSensitive);
}

void FindTextDialog::setUpward(bool upward)
{
    (upward ? m_upward : m_downward)->setChecked(true);
}

bool FindTextDialog::findNext()
{
    const QString pattern = m_pattern->text();
    if (!m_target || pattern.isEmpty())
        return false;
    const QString text = m_target->text();
    const Qt::CaseSensitivity cs = m_caseSensitive->isChecked() ? Qt::CaseSensitive
                                                                : Qt::CaseInsensitive;
    const int selectionStart = m_target->hasSelectedText() ? m_target->selectionStart()
                                                           : m_target->cursorPosition();
    qsizetype found = -1;
    if (m_upward->isChecked()) {
        if (selectionStart > 0)
            found = text.lastIndexOf(pattern, selectionStart - 1, cs);
    } else {
        const int from = m_target->hasSelectedText()
                             ? selectionStart + int(m_target->selectedText().size())
                             : selectionStart;
        found = text.indexOf(pattern, from, cs);
    }
    if (found < 0)
        return false;
    m_target->setSelection(int(found), int(pattern.size()));
    return true;
}

void FindTextDialog::findClicked()
{
    if (!findNext())
        QMessageBox::information(this, appTitle(),
                                 QStringLiteral("找不到 \"%1\"").arg(m_pattern->text()));
}
