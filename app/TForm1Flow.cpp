// SPDX-License-Identifier: MIT
// The main window as the page flow's view, and the wiring of the flow's objects to its controls.
#include "app/ProgressPanel.h"
#include "app/StatusPanels.h"
#include "app/TForm1.h"
#include "dialogs/ErrorBox.h"
#include "dialogs/ShutdownCountdownDialog.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

void TForm1::connectFlow()
{
    m_download.setObjectName(QStringLiteral("DownloadFile1"));
    m_buffer.setTextObserver([this](const QString &text) { Memo2->setPlainText(text); });
    m_download.setErrorReporter([this](const QString &message) { showError(message); });
    connect(&m_shutdown, &ShutdownSwitch::downChanged, shutBtn, &QToolButton::setChecked);
    connect(&m_shutdown.countdown(), &ShutdownCountdown::started, this,
            [this] { (new ShutdownCountdownDialog(m_shutdown.countdown(), this))->show(); });
}

void TForm1::setStatusText(int panel, const QString &text)
{
    StatusBar1->setPanelText(panel, text);
}

void TForm1::setStatusWidth(int panel, int pixels)
{
    StatusBar1->setPanelWidth(panel, pixels);
}

void TForm1::setField(Field field, const QString &text)
{
    QLineEdit *const fields[] = {Panel1->SizeEdit, Panel1->CmpEdit, Panel1->percEdit, Panel1->elpsEdit,
                                 Panel1->EstEdit};
    QLineEdit *shown = fields[static_cast<int>(field)];
    shown->setText(text);
    // A field too narrow for its text shows its start, as "100.00 %" would otherwise read as
    // "00.00 %".
    shown->setCursorPosition(0);
}

QString TForm1::saveFolder() const
{
    return Edit2->text();
}

void TForm1::showError(const QString &message)
{
    ErrorBox::show(this, message);
}
