// SPDX-License-Identifier: MIT
#include "MainWindowFixture.h"
#include "ModalWatcher.h"

#include "app/SettingsKeeping.h"
#include "app/StatusPanels.h"
#include "dialogs/SettingsDialog.h"
#include "settings/SettingsStore.h"
#include "tests/support/Budget.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

class SettingsWindow : public MainWindowFixture
{
protected:
    QSettings file{home.filePath(u"quorvel.ini"_s), QSettings::IniFormat};
    SettingsStore store{file};
    SettingsKeeping keeping{*form, store};
};

} // namespace

TEST_F(SettingsWindow, TheToolsMenuOpensTheDialogOnTheKeptSettingsAndOkKeepsWhatItHolds)
{
    EXPECT_TRUE(form->Tools1->actions().contains(form->Settings1));
    keeping.setNotApplied(u"代理"_s, u"这个 libcurl 不支持 https 代理"_s);
    QSignalSpy speed(&store, &SettingsStore::speedLimitChanged);
    bool sawNotApplied = false;
    ModalWatcher watcher([&](QWidget *modal) {
        auto *dialog = qobject_cast<SettingsDialog *>(modal);
        if (!dialog)
            return false;
        sawNotApplied = dialog->notApplied->isVisibleTo(dialog) && dialog->notApplied->text().contains(u"https"_s);
        QTest::mouseClick(dialog->limited, Qt::LeftButton, {}, QPoint(8, dialog->limited->height() / 2));
        dialog->limit->setValue(256);
        QTest::mouseClick(dialog->okButton, Qt::LeftButton);
        return true;
    });
    form->Settings1->trigger();
    ASSERT_TRUE(runWithinBudget([&] { return watcher.done(); }, 5s));
    EXPECT_TRUE(sawNotApplied);
    ASSERT_EQ(speed.count(), 1);
    EXPECT_TRUE(store.settings().speed.limited);
    EXPECT_EQ(store.settings().speed.kibPerSecond, 256);
    EXPECT_EQ(form->StatusBar1->panelText(0), u"设置已保存"_s);

    keeping.setNotApplied(u"代理"_s, QString());
    EXPECT_EQ(QSettings(home.filePath(u"quorvel.ini"_s), QSettings::IniFormat).value(u"speed/kibPerSecond"_s).toInt(),
              256);
}
