// SPDX-License-Identifier: MIT
#include "common/QuorvelError.h"
#include "queue/QueueListFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct LineCase
{
    const char *name;
    QByteArray content;
    QStringList lines;
};

class LineBreaks : public testing::TestWithParam<LineCase>
{
};

QString readError(const QString &path)
{
    try {
        QueueListFile::read(path);
    } catch (const QuorvelError &e) {
        return e.message();
    }
    return u"no error"_s;
}

} // namespace

TEST_P(LineBreaks, SplitIntoEntries)
{
    EXPECT_EQ(QueueListFile::splitLines(GetParam().content), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    QueueListFile, LineBreaks,
    testing::Values(
        LineCase{"lf", QByteArray("a\nb\n"), {u"a"_s, u"b"_s}},
        LineCase{"crlfBlankLine", QByteArray("a\r\n\r\nb"), {u"a"_s, QString(), u"b"_s}},
        LineCase{"loneCr", QByteArray("a\rb"), {u"a"_s, u"b"_s}},
        LineCase{"mixed", QByteArray("a\r\n\nb\rc\n\rd"),
                 {u"a"_s, QString(), u"b"_s, u"c"_s, QString(), u"d"_s}},
        LineCase{"finalCrlfAddsNothing", QByteArray("a\r\n"), {u"a"_s}},
        LineCase{"lastLineWithoutBreak", QByteArray("a\nlast"), {u"a"_s, u"last"_s}},
        LineCase{"blanksKept", QByteArray(" a \n\tb"), {u" a "_s, u"\tb"_s}},
        LineCase{"nulEndsText", QByteArray("a\nb\0c\nd", 7), {u"a"_s, u"b"_s}},
        LineCase{"leadingNul", QByteArray("\0a\n", 3), {}},
        LineCase{"empty", QByteArray(), {}},
        LineCase{"onlyBreak", QByteArray("\n"), {QString()}},
        LineCase{"duplicates", QByteArray("x\nx\n"), {u"x"_s, u"x"_s}},
        LineCase{"utf8", QByteArray("http://例子.example.org/文件\n"),
                 {u"http://例子.example.org/文件"_s}}),
    [](const testing::TestParamInfo<LineCase> &info) { return std::string(info.param.name); });

TEST(QueueListFile, ReadsAWholeFile)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(u"list.txt"_s));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("http://a.example.org/1\r\nhttp://a.example.org/2");
    file.close();
    EXPECT_EQ(QueueListFile::read(file.fileName()),
              QStringList({u"http://a.example.org/1"_s, u"http://a.example.org/2"_s}));
}

TEST(QueueListFile, UnopenableFilesNameTheFullPathAndTheReason)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(u"missing.txt"_s);
    EXPECT_EQ(readError(missing),
              u"不能打开文件 \"%1\". No such file or directory"_s.arg(missing));

    EXPECT_EQ(readError(dir.path()),
              u"不能打开文件 \"%1\". file to open is a directory"_s.arg(dir.path()));

    QFile plain(dir.filePath(u"plain"_s));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString underFile = plain.fileName() + u"/list.txt"_s;
    EXPECT_EQ(readError(underFile), u"不能打开文件 \"%1\". Not a directory"_s.arg(underFile));

    // A relative name is reported with the folder it was resolved against.
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    EXPECT_EQ(readError(u"missing.txt"_s),
              u"不能打开文件 \"%1\". No such file or directory"_s.arg(missing));
}
