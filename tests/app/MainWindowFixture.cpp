// SPDX-License-Identifier: MIT
#include "MainWindowFixture.h"

#include <QSettings>
#include <QTest>

MainWindowFixture::MainWindowFixture()
{
    // The window keeps its own choices (the clipboard watch) where the user's settings are.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.path());
    form = new TForm1(session, opener, pasteReader, watchReader);
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
