// SPDX-License-Identifier: MIT
#include "app/AppSetup.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

TEST(AppSetup, TakesTheLinksAmongTheArgumentsWithPathsMadeAbsolute)
{
    const QString here = QDir::currentPath();
    struct Row
    {
        QStringList arguments;
        QStringList links;
    };
    const Row rows[] = {
        {{u"https://a.example/x"_s, u"http://b.example/y"_s}, {u"https://a.example/x"_s, u"http://b.example/y"_s}},
        {{u"list.txt"_s}, {here + u"/list.txt"_s}},
        {{u"file:///tmp/list.txt"_s}, {u"/tmp/list.txt"_s}},
        {{u"/tmp/list.txt"_s}, {u"/tmp/list.txt"_s}},
        // Qt's own options and their values are not links.
        {{u"-platform"_s, u"offscreen"_s, u"--style=fusion"_s, u"https://a.example/x"_s}, {u"https://a.example/x"_s}},
        {{u"-reverse"_s, u"https://a.example/x"_s}, {u"https://a.example/x"_s}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(AppSetup::linkArguments(QStringList{u"quorvel"_s} + row.arguments), row.links)
            << row.arguments.join(u' ').toStdString();
}

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

TEST(AppSetup, WithoutADisplayItAnswersItsOptionsAndSaysHowToRunIt)
{
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"})
        environment.remove(QLatin1String(name));
    environment.insert(u"HOME"_s, home.path());
    struct Run
    {
        QProcess::ExitStatus status;
        int code;
        QString out, err;
    };
    const auto run = [&](const QStringList &arguments) {
        QProcess quorvel;
        quorvel.setProcessEnvironment(environment);
        quorvel.start(QStringLiteral(QUORVEL_EXE), arguments);
        EXPECT_TRUE(quorvel.waitForFinished(20000));
        return Run{quorvel.exitStatus(), quorvel.exitCode(), QString::fromUtf8(quorvel.readAllStandardOutput()),
                   QString::fromUtf8(quorvel.readAllStandardError())};
    };

    const Run help = run({u"--help"_s});
    EXPECT_EQ(help.status, QProcess::NormalExit);
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.startsWith(u"用法: quorvel"_s)) << help.out.toStdString() << help.err.toStdString();
    EXPECT_TRUE(help.out.contains(u"quorvel-batch"_s));

    const Run version = run({u"--version"_s});
    EXPECT_EQ(version.status, QProcess::NormalExit);
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, u"quorvel 1.1\n"_s);

    // Killed by abort(), the status would be a crash and no word of quorvel-batch.
    const Run window = run({});
    EXPECT_EQ(window.status, QProcess::NormalExit);
    EXPECT_EQ(window.code, 1);
    EXPECT_TRUE(window.err.contains(u"没有显示器时请用 quorvel-batch"_s)) << window.err.toStdString();
    EXPECT_EQ(window.out, QString());

    // Without the session bus the state file's lock tells a later start from the first: the
    // first goes on to its window (here: to the want of a display), a later one opens none.
    environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, u"unix:path=/nonexistent/quorvel-bus"_s);
    environment.insert(u"XDG_STATE_HOME"_s, home.path() + u"/state"_s);
    const Run first = run({u"https://a.example/x"_s});
    EXPECT_EQ(first.code, 1);
    EXPECT_TRUE(first.err.contains(u"没有会话总线"_s)) << first.err.toStdString();
    EXPECT_TRUE(first.err.contains(u"没有显示器时请用 quorvel-batch"_s)) << first.err.toStdString();

    QLockFile held(home.path() + u"/state/quorvel/queue.txt.lock"_s);
    ASSERT_TRUE(held.tryLock(0));
    const Run later = run({u"https://a.example/x"_s});
    EXPECT_EQ(later.status, QProcess::NormalExit);
    EXPECT_EQ(later.code, 1);
    EXPECT_TRUE(later.err.contains(u"不能把网址交给已经打开的主窗口"_s)) << later.err.toStdString();
    EXPECT_FALSE(later.err.contains(u"没有显示器"_s)) << "it went on towards a second window";
}
