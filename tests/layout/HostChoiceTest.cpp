// SPDX-License-Identifier: MIT
// Which layout reads a host's pages: the user's over the package's, a name over a wildcard, and
// none (the built-in reading) for a host no layout names.
#include "layout/LayoutLoader.h"
#include "platform/pattern/Re2PatternCompiler.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void write(const QString &folder, const QString &name, const QByteArray &text)
{
    QDir().mkpath(folder);
    QFile file(QDir(folder).filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray layoutFor(const QByteArray &hosts, const QByteArray &button)
{
    return "hosts = " + hosts + "\npress = value: " + button + "\nfile = action\n";
}

} // namespace

TEST(HostChoiceTest, TheUsersLayoutWinsThenTheNearestNameThenTheBuiltIn)
{
    const QTemporaryDir root;
    const QString package = root.filePath(QStringLiteral("package"));
    const QString user = root.filePath(QStringLiteral("user"));
    write(package, QStringLiteral("a.layout"), layoutFor("files.example *.mirror.example", "Package"));
    write(package, QStringLiteral("b.layout"), layoutFor("*.mirror.example", "Second"));
    write(package, QStringLiteral("c.layout"), "hosts = broken.example\n");
    write(package, QStringLiteral("notes.txt"), "hosts = notes.example\nfile = action\n");
    write(user, QStringLiteral("mine.layout"), layoutFor("files.example dl.mirror.example", "Mine"));

    const LoadedLayouts loaded = LayoutLoader::load({package, user, root.filePath(QStringLiteral("absent"))},
                                                    Re2PatternCompiler());

    const auto button = [&](const QString &url) {
        const HostLayout *layout = loaded.layouts.forUrl(url);
        return layout ? layout->press->text : QStringLiteral("built-in");
    };
    EXPECT_EQ(button(QStringLiteral("https://files.example/f/1")), QStringLiteral("Mine"));
    EXPECT_EQ(button(QStringLiteral("https://FILES.example:8080/f/1")), QStringLiteral("Mine"));
    EXPECT_EQ(button(QStringLiteral("http://dl.mirror.example/f")), QStringLiteral("Mine"));
    EXPECT_EQ(button(QStringLiteral("http://eu.dl.mirror.example/f")), QStringLiteral("Package"));
    EXPECT_EQ(button(QStringLiteral("http://up.mirror.example/f")), QStringLiteral("Package"));
    EXPECT_EQ(button(QStringLiteral("http://mirror.example/f")), QStringLiteral("built-in"));
    EXPECT_EQ(button(QStringLiteral("http://files.example.net/f")), QStringLiteral("built-in"));
    EXPECT_EQ(button(QStringLiteral("http://notes.example/f")), QStringLiteral("built-in"));

    // The second package file names a host the first already names, and the third lacks its
    // file rule: both are skipped and said, with their names; the rest loaded.
    ASSERT_EQ(loaded.errors.size(), 2);
    EXPECT_EQ(loaded.errors[0].file, QDir(package).filePath(QStringLiteral("b.layout")));
    EXPECT_TRUE(loaded.errors[0].reason.contains(QStringLiteral("已由 "))) << loaded.errors[0].reason.toStdString();
    EXPECT_EQ(loaded.errors[1].file, QDir(package).filePath(QStringLiteral("c.layout")));
}
