// SPDX-License-Identifier: MIT
#include "MainWindowFixture.h"

#include <QTest>

MainWindowFixture::MainWindowFixture()
{
    form = new TForm1(session, opener);
}

MainWindowFixture::~MainWindowFixture()
{
    delete form;
    qputenv("HOME", m_oldHome);
}

QString MainWindowFixture::defaultFolder() const
{
    return home.path() + QStringLiteral("/Quorvel/Downloads");
}

void MainWindowFixture::activate()
{
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
}

void MainWindowFixture::dismiss(QWidget *modal)
{
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
    else
        modal->close();
}
