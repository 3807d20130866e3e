// SPDX-License-Identifier: MIT
#include "queue/LinkIntake.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

struct IntakeCase
{
    const char *name;
    /** Feeds the intake; dir is a fresh folder for files. */
    std::function<void(LinkIntake &intake, const QTemporaryDir &dir)> feed;
    QStringList urls;
    int skippedLines;
    int ftpSkipped;
    bool charsCapped;
    bool urlsCapped;
    QString summary;
};

void PrintTo(const IntakeCase &row, std::ostream *out)
{
    *out << row.name;
}

class Intake : public testing::TestWithParam<IntakeCase>
{
};

std::function<void(LinkIntake &, const QTemporaryDir &)> text(const QString &content)
{
    return [content](LinkIntake &intake, const QTemporaryDir &) { intake.addText(content); };
}

QString fileIn(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return file.fileName();
}

std::function<void(LinkIntake &, const QTemporaryDir &)> file(const QByteArray &content)
{
    return [content](LinkIntake &intake, const QTemporaryDir &dir) {
        intake.addFile(fileIn(dir, u"list.txt"_s, content));
    };
}

QString numbered(int first, int count)
{
    QString lines;
    for (int i = first; i < first + count; ++i)
        lines += u"http://h.example/%1\n"_s.arg(i);
    return lines;
}

TEST_P(Intake, TakesTheUrlsInOrderAndCountsWhatItLeft)
{
    const IntakeCase &row = GetParam();
    QTemporaryDir dir;
    LinkIntake intake;
    row.feed(intake, dir);
    const LinkIntake::Result &result = intake.result();
    // A long row names its count and its last URL only.
    if (row.urls.size() <= 5) {
        EXPECT_EQ(result.urls, row.urls);
    } else {
        EXPECT_EQ(result.urls.size(), row.urls.size());
        EXPECT_EQ(result.urls.value(row.urls.size() - 1), row.urls.constLast());
    }
    EXPECT_EQ(result.skippedLines, row.skippedLines);
    EXPECT_EQ(result.ftpSkipped, row.ftpSkipped);
    EXPECT_EQ(result.charsCapped, row.charsCapped);
    EXPECT_EQ(result.urlsCapped, row.urlsCapped);
    EXPECT_EQ(result.summary(), row.summary);
}

const QString longUrl = u"http://h.example/"_s + QString(200, u'a');

INSTANTIATE_TEST_SUITE_P(
    LinkIntake, Intake,
    testing::Values(
        IntakeCase{"one per line, any break, blanks around",
                   text(u"  http://a.example/1\r\nhttps://b.example/2\rHTTP://C.example/3\n\n"_s),
                   {u"http://a.example/1"_s, u"https://b.example/2"_s, u"HTTP://C.example/3"_s},
                   0,
                   0,
                   false,
                   false,
                   u"已添加 3 个网址"_s},
        IntakeCase{"separated by blanks, as written, with words and comments between",
                   text(u"see http://a.example/x?q=%E4%B8%AD\thttp://u:p@b.example/y junk\n# http://c.example/\n"
                        "nothing here\nhttp:///nohost http://\nmailto:x@example.org\n"_s),
                   {u"http://a.example/x?q=%E4%B8%AD"_s, u"http://u:p@b.example/y"_s},
                   3,
                   0,
                   false,
                   false,
                   u"已添加 2 个网址, 跳过 3 行"_s},
        IntakeCase{"ftp left out with its own count",
                   text(u"ftp://f.example/a\nhttp://a.example/ ftp://f.example/b\n"_s),
                   {u"http://a.example/"_s},
                   1,
                   2,
                   false,
                   false,
                   u"已添加 1 个网址, 跳过 1 行, 2 个 ftp 网址未添加: 只能下载 http 和 https 网址"_s},
        IntakeCase{"the line the character cap cuts goes whole",
                   text(QString(LinkIntake::maxChars - 40, u'x') + u"\nhttp://a.example/\n"_s + longUrl),
                   {u"http://a.example/"_s},
                   1,
                   0,
                   true,
                   false,
                   u"已添加 1 个网址, 跳过 1 行, 只读取了前 8 MiB"_s},
        IntakeCase{"the cap counts over every part",
                   [](LinkIntake &intake, const QTemporaryDir &) {
                       intake.addText(QString(LinkIntake::maxChars - 20, u'\n'));
                       intake.addText(u"http://a.example/\n"_s);
                       intake.addText(u"http://b.example/\n"_s);
                       intake.addText(u"http://c.example/\n"_s);
                   },
                   {u"http://a.example/"_s},
                   0,
                   0,
                   true,
                   false,
                   u"已添加 1 个网址, 只读取了前 8 MiB"_s},
        IntakeCase{"no more than maxUrls", text(numbered(0, 100000)),
                   QStringList(LinkIntake::maxUrls - 1, QString()) << u"http://h.example/9999"_s, 0, 0, false, true,
                   u"已添加 10000 个网址, 只添加了前 10000 个网址"_s},
        IntakeCase{
            "a list file, UTF-16 by its mark",
            file(QByteArray("\xFF\xFE") + QStringEncoder(QStringEncoder::Utf16LE)(u"http://a.example/中\r\nx\r\n"_s)),
            {u"http://a.example/中"_s},
            1,
            0,
            false,
            false,
            u"已添加 1 个网址, 跳过 1 行"_s},
        IntakeCase{"a large file is read up to the cap",
                   file(numbered(0, 5).toUtf8() + QByteArray(LinkIntake::maxChars, '\n') + "http://late.example/\n"),
                   {u"http://h.example/0"_s, u"http://h.example/1"_s, u"http://h.example/2"_s, u"http://h.example/3"_s,
                    u"http://h.example/4"_s},
                   0,
                   0,
                   true,
                   false,
                   u"已添加 5 个网址, 只读取了前 8 MiB"_s},
        IntakeCase{"a binary file, a folder and a missing file are refused and the rest read",
                   [](LinkIntake &intake, const QTemporaryDir &dir) {
                       intake.addFile(
                           fileIn(dir, u"shot.png"_s,
                                  QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + "http://in.png.example/"));
                       intake.addArgument(dir.path());
                       intake.addArgument(u"http://arg.example/"_s);
                       intake.addArgument(fileIn(dir, u"list.txt"_s, "http://a.example/\n"));
                       intake.addArgument(dir.filePath(u"missing.txt"_s));
                   },
                   {u"http://arg.example/"_s, u"http://a.example/"_s},
                   0,
                   0,
                   false,
                   false,
                   u"已添加 2 个网址, 未读取 shot.png: 不是文本文件 (共 3 个文件)"_s}),
    [](const testing::TestParamInfo<IntakeCase> &info) { return "row" + std::to_string(info.index); });

TEST(LinkIntakeFtp, TakesFtpWhenTheDownloadsCanFetchIt)
{
    LinkIntake intake(LinkIntake::Ftp::Take);
    intake.addText(u"ftp://f.example/a"_s);
    EXPECT_EQ(intake.result().urls, QStringList{u"ftp://f.example/a"_s});
    EXPECT_EQ(intake.result().ftpSkipped, 0);
}

} // namespace
