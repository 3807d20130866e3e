// SPDX-License-Identifier: MIT
// What a user of a desktop meets beyond the window's design: a screen reader's names for the
// buttons, the Help menu's picture, and a status bar that keeps inside the window.
#include "MainWindowFixture.h"

#include "app/AppSetup.h"
#include "app/StatusPanels.h"
#include "app/ToolStrip.h"
#include "flow/StatusTexts.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

using TForm1Desktop = MainWindowFixture;

QLabel *panel(TForm1 *form, int index)
{
    return form->StatusBar1->findChild<QLabel *>(u"Panel%1"_s.arg(index));
}

/** Where a status panel ends, in the window's coordinates. */
int rightEdgeInWindow(TForm1 *form, const QLabel *label)
{
    return label->mapTo(form, QPoint(label->width(), 0)).x();
}

} // namespace

TEST_F(TForm1Desktop, EveryToolbarButtonHasTheNameItsTooltipShows)
{
    activate();
    int buttons = 0;
    for (const ToolStrip *bar : form->findChildren<ToolStrip *>()) {
        for (QToolButton *button : bar->findChildren<QToolButton *>()) {
            QAccessibleInterface *seen = QAccessible::queryAccessibleInterface(button);
            ASSERT_NE(seen, nullptr);
            EXPECT_FALSE(button->toolTip().isEmpty()) << button->objectName().toStdString();
            EXPECT_EQ(seen->text(QAccessible::Name), button->toolTip()) << button->objectName().toStdString();
            ++buttons;
        }
    }
    EXPECT_EQ(buttons, 12 + 5);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form->shutBtn)->text(QAccessible::Name), u"关机"_s);
}

TEST_F(TForm1Desktop, TheHelpMenuShowsItsPictureBeforeItsTitle)
{
    activate();
    ASSERT_FALSE(form->Help1->icon().isNull());
    const QRect item = form->menuBar()->actionGeometry(form->Help1->menuAction());
    const int picture = form->style()->pixelMetric(QStyle::PM_SmallIconSize);
    const int title = form->menuBar()->fontMetrics().horizontalAdvance(u"帮助(H)"_s);
    EXPECT_GT(item.width(), picture + title);
    // The other titles keep their text-only size.
    const QRect file = form->menuBar()->actionGeometry(form->File1->menuAction());
    EXPECT_LT(file.width(), item.width());
}

TEST_F(TForm1Desktop, ALongFileNameLosesItsMiddleAndKeepsInsideTheWindow)
{
    activate();
    const QString name = u" "_s + QString(60, u'中') + u"-the-end.bin"_s;
    form->showStatus(0, StatusTexts::downloading);
    // As the flow shows it: with a width of five pixels a character, more than the window has.
    form->showStatus(2, StatusTexts::fileName(name.mid(1)));
    QApplication::sendPostedEvents();

    QLabel *last = panel(form, 2);
    EXPECT_LE(rightEdgeInWindow(form, last), form->width());
    EXPECT_GT(last->geometry().left(), panel(form, 1)->geometry().right());
    EXPECT_TRUE(last->text().startsWith(u" 中中"_s)) << last->text().toStdString();
    EXPECT_TRUE(last->text().endsWith(u"the-end.bin"_s)) << last->text().toStdString();
    EXPECT_TRUE(last->text().contains(u'…'));
    EXPECT_EQ(last->toolTip(), name);
    EXPECT_EQ(form->StatusBar1->panelText(2), name);
    // The panels before it keep their widths and texts.
    EXPECT_EQ(form->StatusBar1->panelWidth(0), StatusTexts::downloading.width);
    EXPECT_EQ(panel(form, 0)->text(), StatusTexts::downloading.text);

    // A thicker window frame leaves less room: the name loses more of its middle.
    const QString wide = last->text();
    form->setFixedSize(form->width() - 100, form->height());
    QApplication::sendPostedEvents();
    EXPECT_LE(rightEdgeInWindow(form, last), form->width());
    EXPECT_LT(last->text().size(), wide.size()) << last->text().toStdString() << " " << last->width();
    EXPECT_TRUE(last->text().endsWith(u"end.bin"_s)) << last->text().toStdString();

    // A name that fits is shown whole, with no tooltip repeating it.
    form->setStatusText(2, u" short.bin"_s);
    QApplication::sendPostedEvents();
    EXPECT_EQ(last->text(), u" short.bin"_s);
    EXPECT_EQ(last->toolTip(), QString());
}

TEST_F(TForm1Desktop, ATextWiderThanItsGivenWidthIsShownWhole)
{
    activate();
    form->setFont(AppSetup::windowFont());
    // The retry wait's texts count fewer pixels than the window's font draws: the panel grows to
    // them, and nothing of them may be cut.
    for (const QString &text : {StatusTexts::waitingToRetry.text, u" 连接被拒绝"_s, u" 下载失败 - 超时"_s}) {
        for (int index : {0, 2}) {
            form->showStatus(index, {text, 10});
            QApplication::sendPostedEvents();
            EXPECT_EQ(panel(form, index)->text(), text) << index << " " << text.toStdString();
        }
    }
}
