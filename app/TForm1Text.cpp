// SPDX-License-Identifier: MIT
// The editing commands: they act on the window's focused text field and on nothing else, so
// with the queue focused Del and the other editing keys leave the queue alone.
#include "app/TForm1.h"

#include "dialogs/FindTextDialog.h"

#include <QApplication>
#include <QLineEdit>

#include <functional>

QLineEdit *TForm1::focusedTextField() const
{
    auto *field = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    return field && field->window() == this ? field : nullptr;
}

void TForm1::SearchFind1Execute()
{
    QLineEdit *field = focusedTextField();
    if (!field)
        return;
    if (!m_find)
        m_find = new FindTextDialog(this);
    m_find->setTarget(field);
    m_find->show();
    m_find->raise();
    m_find->activateWindow();
}

void TForm1::onFocusedField(const std::function<void(QLineEdit &)> &command)
{
    if (QLineEdit *field = focusedTextField())
        command(*field);
}

void TForm1::EditCut1Execute()
{
    onFocusedField(std::mem_fn(&QLineEdit::cut));
}

void TForm1::EditCopy1Execute()
{
    onFocusedField(std::mem_fn(&QLineEdit::copy));
}

void TForm1::EditPaste1Execute()
{
    onFocusedField(std::mem_fn(&QLineEdit::paste));
}

void TForm1::EditUndo1Execute()
{
    onFocusedField(std::mem_fn(&QLineEdit::undo));
}

void TForm1::EditDelete1Execute()
{
    // Del removes a selection only; with none it has nothing to clear.
    QLineEdit *field = focusedTextField();
    if (field && field->hasSelectedText())
        field->del();
}
