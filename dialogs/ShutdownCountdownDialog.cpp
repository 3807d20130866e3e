// SPDX-License-Identifier: MIT
#include "dialogs/ShutdownCountdownDialog.h"

#include "power/ShutdownCountdown.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

ShutdownCountdownDialog::ShutdownCountdownDialog(ShutdownCountdown &countdown, QWidget *parent)
    : QDialog(parent)
    , m_countdown(&countdown)
    , m_label(new QLabel(this))
{
    setObjectName(QStringLiteral("ShutdownCountdownDialog"));
    setWindowTitle(QStringLiteral("Quorvel V.1.1"));
    m_label->setObjectName(QStringLiteral("countdownLabel"));

    auto *cancelButton = new QPushButton(QStringLiteral("取消"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    // Enter or Space from someone who just came back must keep the machine on, never switch it off.
    cancelButton->setDefault(true);
    cancelButton->setFocus();
    connect(cancelButton, &QPushButton::clicked, this, &ShutdownCountdownDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addLayout(buttons);

    connect(&countdown, &ShutdownCountdown::tick, this, &ShutdownCountdownDialog::showRemaining);
    connect(&countdown, &ShutdownCountdown::finished, this, &ShutdownCountdownDialog::dismiss);
    showRemaining(countdown.remaining());
}

QString ShutdownCountdownDialog::text() const
{
    return m_label->text();
}

int ShutdownCountdownDialog::remaining() const
{
    return m_remaining;
}

void ShutdownCountdownDialog::reject()
{
    // A running count closes this dialog through its finished(); anything else must close it here.
    if (m_countdown && m_countdown->isRunning())
        m_countdown->cancel();
    else
        dismiss();
}

void ShutdownCountdownDialog::showRemaining(int seconds)
{
    m_remaining = seconds;
    const QString reason = m_countdown ? m_countdown->reason() : QString();
    m_label->setText(QStringLiteral("%1。计算机将在 %2 秒后关机。").arg(reason).arg(seconds));
}

// Not close(): QDialog's close event would come back through reject().
void ShutdownCountdownDialog::dismiss()
{
    hide();
    deleteLater();
}

void ShutdownCountdownDialog::showUnavailable(QWidget &window, const QString &text)
{
    const QString name = QStringLiteral("powerOffUnavailable");
    auto *box = window.findChild<QMessageBox *>(name, Qt::FindDirectChildrenOnly);
    if (!box) {
        box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Quorvel V.1.1"), QString(), QMessageBox::Ok,
                              &window);
        box->setObjectName(name);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
    }
    box->setText(text);
    box->show();
}
