// SPDX-License-Identifier: MIT
// The main window as the session's view, and the session's objects shown in its controls.
#include "app/ProgressPanel.h"
#include "app/StatusPanels.h"
#include "app/TForm1.h"
#include "automation/ShownText.h"
#include "dialogs/ErrorBox.h"
#include "dialogs/ShutdownCountdownDialog.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

void TForm1::connectFlow()
{
    m_session.attachView(this);
    m_session.buffer().setTextObserver([this](const QString &text) { Memo2->setPlainText(text); });
    ShutdownSwitch &shutdown = m_session.shutdown();
    connect(&shutdown, &ShutdownSwitch::downChanged, shutBtn, &QToolButton::setChecked);
    connect(&shutdown.countdown(), &ShutdownCountdown::started, this,
            [this] { (new ShutdownCountdownDialog(m_session.shutdown().countdown(), this))->show(); });
    connect(&shutdown, &ShutdownSwitch::powerOffUnavailable, this,
            [this](const QString &text) { ShutdownCountdownDialog::showUnavailable(*this, text); });
}

TForm1::~TForm1()
{
    // The session may outlive the window; it must not show anything in widgets that are gone.
    m_session.detachView(this);
    m_session.buffer().setTextObserver({});
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
    ErrorBox::show(this, shownText(message));
}
