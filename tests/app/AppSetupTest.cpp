// SPDX-License-Identifier: MIT
#include "app/AppSetup.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

TEST(AppSetup, QtsOwnDialogsAndMenusSpeakChinese)
{
    AppSetup::apply();
    EXPECT_EQ(QApplication::applicationName(), u"Quorvel V.1.1"_s);

    QLineEdit field;
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList items;
    for (const QAction *action : menu->actions())
        if (!action->isSeparator())
            items << action->text();
    ASSERT_FALSE(items.isEmpty());
    EXPECT_TRUE(items.first().startsWith(u"撤消(&U)"_s)) << items.join(u'|').toStdString();

    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), u"取消"_s);

    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    const QLabel *lookIn = files.findChild<QLabel *>(u"lookInLabel"_s);
    ASSERT_NE(lookIn, nullptr);
    EXPECT_NE(lookIn->text(), u"Look in:"_s);
}
