// SPDX-License-Identifier: MIT
// The editing commands: they act on the window's focused text field. Outside one, a paste adds
// the clipboard's links to the queue and Del deletes the queue's selected entry.
#include "app/TForm1.h"

#include "dialogs/FindTextDialog.h"
#include "platform/clipboard/ClipboardReader.h"
#include "queue/DownloadQueue.h"
#include "queue/LinkIntake.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>

#include <algorithm>
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
    if (QLineEdit *field = focusedTextField()) {
        field->paste();
    } else if (const QMimeData *data = QGuiApplication::clipboard()->mimeData(); data && data->hasUrls()) {
        // Copied files come as their list of names, which asks for no text yet.
        addLinks(*data);
    } else if (!m_pasteReader.isReading()) {
        // A second paste while one is read would only bring the same text again.
        setStatusText(0, QStringLiteral("正在读取剪贴板..."));
        m_pasteReader.read(LinkIntake::maxChars);
    }
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
    if (field || !ListBox1->hasFocus() || m_queue.selected() < 0)
        return;
    // The next entry takes the deleted one's place in the selection, so that Del goes on.
    const int index = m_queue.selected();
    m_queue.deleteSelected();
    if (m_queue.count() > 0)
        m_queue.setSelected(std::min(index, m_queue.count() - 1));
}
