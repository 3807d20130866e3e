// SPDX-License-Identifier: MIT
#include "dialogs/SettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimeEdit>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

void typeInto(QWidget *field, const QString &text)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
}

/** Where a user clicks a radio button or check box: on its mark, not in the empty row beside its text. */
void clickMark(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

} // namespace

TEST(SettingsDialog, WhatTheUserEntersIsWhatItGivesBackOnOk)
{
    SettingsDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(dialog.systemProxy->isChecked());
    EXPECT_FALSE(dialog.proxyHost->isEnabled());
    EXPECT_FALSE(dialog.limit->isEnabled());

    clickMark(dialog.manualProxy);
    // Manual, but with no host yet: OK would send everything direct.
    EXPECT_TRUE(dialog.proxyHost->isEnabled());
    EXPECT_FALSE(dialog.okButton->isEnabled());
    dialog.proxyType->setCurrentIndex(dialog.proxyType->findData(u"socks5h"_s));
    typeInto(dialog.proxyHost, u"proxy.lan"_s);
    EXPECT_TRUE(dialog.okButton->isEnabled());
    typeInto(dialog.proxyPort, u"1080"_s);
    typeInto(dialog.proxyUser, u"me"_s);
    typeInto(dialog.proxyPassword, u"hunter2"_s);
    clickMark(dialog.limited);
    EXPECT_TRUE(dialog.limit->isEnabled());
    typeInto(dialog.limit, u"300"_s);
    clickMark(dialog.scheduled);
    typeInto(dialog.scheduledLimit, u"50"_s);
    dialog.from->setTime(QTime(9, 0));
    typeInto(dialog.onDownloadComplete, u"/usr/bin/unpack"_s);
    // On, but with no secret: it would not start.
    EXPECT_FALSE(dialog.remoteSecret->isEnabled());
    clickMark(dialog.remoteEnabled);
    EXPECT_FALSE(dialog.okButton->isEnabled());
    typeInto(dialog.remotePort, u"6801"_s);
    typeInto(dialog.remoteSecret, u"s3cret"_s);
    EXPECT_TRUE(dialog.okButton->isEnabled());
    QTest::mouseClick(dialog.okButton, Qt::LeftButton);

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const Settings s = dialog.settings();
    EXPECT_EQ(s.proxy.mode, ProxySetting::Mode::Manual);
    EXPECT_EQ(s.proxy.endpoint(), u"socks5h://proxy.lan:1080"_s);
    EXPECT_EQ(s.proxy.user, u"me"_s);
    EXPECT_EQ(s.proxy.password, u"hunter2"_s);
    EXPECT_TRUE(s.speed.limited);
    EXPECT_EQ(s.speed.kibPerSecond, 300);
    EXPECT_TRUE(s.speed.scheduled);
    EXPECT_EQ(s.speed.scheduledKibPerSecond, 50);
    EXPECT_EQ(s.speed.from, QTime(9, 0));
    EXPECT_EQ(s.onDownloadComplete, u"/usr/bin/unpack"_s);
    EXPECT_EQ(s.remote, (RemoteControlSetting{true, 6801, u"s3cret"_s}));
    // A password or secret is typed, never shown.
    for (const QLineEdit *secret : {dialog.proxyPassword, dialog.remoteSecret}) {
        EXPECT_EQ(secret->echoMode(), QLineEdit::Password);
        EXPECT_FALSE(secret->displayText().contains(secret->text()));
    }

    // What it is given, it shows again, and an unapplied setting is said until it applies.
    SettingsDialog again;
    again.setSettings(s);
    EXPECT_EQ(again.settings(), s);
    again.setNotApplied({u"代理: 这个 libcurl 不支持 https 代理"_s});
    again.show();
    EXPECT_TRUE(again.notApplied->isVisible());
    EXPECT_TRUE(again.notApplied->text().contains(u"未应用"_s));
    again.setNotApplied({});
    EXPECT_FALSE(again.notApplied->isVisible());
}

TEST(SettingsDialog, EveryControlHasAnAccessibleNameAndTheDialogFitsItsContents)
{
    SettingsDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    int controls = 0;
    for (QWidget *control : dialog.findChildren<QWidget *>()) {
        // A spin box's own line edit is part of the spin box, which carries the name.
        if (control->focusPolicy() == Qt::NoFocus || !control->isVisibleTo(&dialog)
            || qobject_cast<QAbstractSpinBox *>(control->parentWidget()))
            continue;
        ++controls;
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->metaObject()->className();
    }
    EXPECT_GE(controls, 20);
    EXPECT_EQ(dialog.size(), dialog.sizeHint());
}
