// SPDX-License-Identifier: MIT
#include "queue/QueueListFile.h"
#include "common/QuorvelError.h"
#include "queue/EntryListText.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

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

struct ReadCase
{
    const char *name;
    /** Makes the file in the folder; answers its path. */
    std::function<QString(const QTemporaryDir &dir)> file;
    QStringList lines;
    /** The refusal, %1 the file's path; empty when the file is read. */
    QString refusal;
};

void PrintTo(const ReadCase &row, std::ostream *out)
{
    *out << row.name;
}

class ListReading : public testing::TestWithParam<ReadCase>
{
};

std::function<QString(const QTemporaryDir &)> written(const QByteArray &content)
{
    return [content](const QTemporaryDir &dir) {
        QFile file(dir.filePath(u"list.txt"_s));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    };
}

QStringList urls(const QList<DownloadEntry> &entries)
{
    QStringList urls;
    for (const DownloadEntry &entry : entries)
        urls.append(entry.url);
    return urls;
}

QByteArray utf16(const QString &text, QStringEncoder::Encoding encoding)
{
    return QStringEncoder(encoding, QStringEncoder::Flag::WriteBom)(text);
}

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
        LineCase{"mixed", QByteArray("a\r\n\nb\rc\n\rd"), {u"a"_s, QString(), u"b"_s, u"c"_s, QString(), u"d"_s}},
        LineCase{"finalCrlfAddsNothing", QByteArray("a\r\n"), {u"a"_s}},
        LineCase{"lastLineWithoutBreak", QByteArray("a\nlast"), {u"a"_s, u"last"_s}},
        LineCase{"blanksKept", QByteArray(" a \n\tb"), {u" a "_s, u"\tb"_s}}, LineCase{"empty", QByteArray(), {}},
        LineCase{"onlyBreak", QByteArray("\n"), {QString()}},
        LineCase{"duplicates", QByteArray("x\nx\n"), {u"x"_s, u"x"_s}},
        LineCase{"utf8", QByteArray("http://例子.example.org/文件\n"), {u"http://例子.example.org/文件"_s}},
        LineCase{"badByteStaysOnItsLine", QByteArray("a\xE4\nb"), {u"a\uFFFD"_s, u"b"_s}}),
    [](const testing::TestParamInfo<LineCase> &info) { return std::string(info.param.name); });

TEST_P(ListReading, DecodesByTheByteOrderMarkAndRefusesWhatIsNoList)
{
    QTemporaryDir dir;
    const QString path = GetParam().file(dir);
    if (GetParam().refusal.isEmpty())
        EXPECT_EQ(urls(QueueListFile::read(path)), GetParam().lines);
    else
        EXPECT_EQ(readError(path), GetParam().refusal.arg(path));
}

const QString notText =
    u"不能读取文件 \"%1\". 文件中有 NUL 字节, 不是文本文件 (没有字节顺序标记的 UTF-16 文件也是这样)"_s;
const QStringList twoUrls{u"http://a.example.org/1"_s, u"http://例子.example.org/文件"_s};
const QString twoUrlsText = u"http://a.example.org/1\r\nhttp://例子.example.org/文件\r\n"_s;

INSTANTIATE_TEST_SUITE_P(
    QueueListFile, ListReading,
    testing::Values(
        ReadCase{"aria2Layout",
                 written("http://a/1\n  out=x.bin\n\tdir=/tmp\n\n# a comment\nhttp://b/2\n  gid=00000000000000ff\n"),
                 {u"http://a/1"_s, u"http://b/2"_s},
                 {}},
        ReadCase{"keptEntriesThatEndedAreNotQueued",
                 written("http://a/1\n  quorvel-state=done\nhttp://b/2\n  quorvel-state=failed\n"
                         "http://c/3\n  quorvel-state=removed\n"),
                 {u"http://b/2"_s},
                 {}},
        ReadCase{"utf8Bom", written("\xEF\xBB\xBF" + twoUrlsText.toUtf8()), twoUrls, {}},
        // What Windows Notepad saves as "Unicode" and as "Unicode big endian".
        ReadCase{"utf16LeBom", written(utf16(twoUrlsText, QStringEncoder::Utf16LE)), twoUrls, {}},
        ReadCase{"utf16BeBom", written(utf16(twoUrlsText, QStringEncoder::Utf16BE)), twoUrls, {}},
        ReadCase{"utf16WithoutBom", written(QStringEncoder(QStringEncoder::Utf16LE)(twoUrlsText)), {}, notText},
        ReadCase{"nulInEightBitText", written(QByteArray("a\nb\0c\nd", 7)), {}, notText},
        ReadCase{"leadingNul", written(QByteArray("\0a\n", 3)), {}, notText},
        ReadCase{"overTheCap",
                 [](const QTemporaryDir &dir) {
                     QFile file(dir.filePath(u"huge.txt"_s));
                     EXPECT_TRUE(file.open(QIODevice::WriteOnly));
                     EXPECT_TRUE(file.resize(qint64(64) * 1024 * 1024 + 1));
                     return file.fileName();
                 },
                 {},
                 u"不能读取文件 \"%1\". 它大于 64 MiB, 不是网址列表"_s},
        ReadCase{"device",
                 [](const QTemporaryDir &) { return u"/dev/null"_s; },
                 {},
                 u"不能打开文件 \"%1\". 这不是普通文件 (是设备、管道或套接字)"_s},
        ReadCase{"linkToAList",
                 [](const QTemporaryDir &dir) {
                     const QString list = written("http://a.example.org/1")(dir);
                     const QString link = dir.filePath(u"link.txt"_s);
                     EXPECT_TRUE(QFile::link(list, link));
                     return link;
                 },
                 {u"http://a.example.org/1"_s},
                 {}}),
    [](const testing::TestParamInfo<ReadCase> &info) { return std::string(info.param.name); });

TEST(QueueListFile, ReadsAWholeFile)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(u"list.txt"_s));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("http://a.example.org/1\r\nhttp://a.example.org/2");
    file.close();
    EXPECT_EQ(urls(QueueListFile::read(file.fileName())),
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

// A digest that can never match, or names no known algorithm, is said at reading, not at the end.
TEST(EntryListChecksum, AMalformedChecksumIsSkippedAndCountedAWellFormedOneKept)
{
    const QString sha1 = QString(40, u'A');
    const struct
    {
        QString value;
        bool kept;
    } rows[] = {
        {u"sha-256="_s + QString(64, u'f'), true},
        {u"SHA-1="_s + sha1, true},
        {u"md5="_s + QString(32, u'0'), true},
        {u"sha-1="_s + QString(39, u'a'), false},
        {u"md5="_s + QString(31, u'0') + u'g', false},
        {u"crc32=12345678"_s, false},
        {u"sha-256"_s, false},
    };
    for (const auto &row : rows) {
        const auto reading = EntryListText::read(u"https://h.example/f\n  checksum="_s + row.value + u'\n', true);
        ASSERT_EQ(reading.entries.size(), 1) << row.value.toStdString();
        EXPECT_EQ(reading.skippedLines, row.kept ? 0 : 1) << row.value.toStdString();
        EXPECT_EQ(reading.entries[0].options.contains(u"checksum"_s), row.kept) << row.value.toStdString();
    }
}

// Typed into 新建下载, a checksum line belongs to the URL above it, indented or not; one that
// cannot be used stops the whole input rather than let its file arrive unchecked.
TEST(QueueListFile, TypedChecksumLinesJoinTheUrlAboveOrRefuseTheInput)
{
    const QString digest = u"sha-256="_s + QString(64, u'c');
    const struct
    {
        QStringList lines;
        QStringList urls;
        QStringList checksums;
        bool refused;
    } rows[] = {
        // No checksum line: every line an entry, exactly as written, blank ones too.
        {{u"http://h/a"_s, QString(), u"  http://h/b"_s}, {u"http://h/a"_s, QString(), u"  http://h/b"_s}, {}, false},
        {{u"http://h/a"_s, u"checksum="_s + digest, u"http://h/b"_s, QString(), u"\t checksum="_s + digest},
         {u"http://h/a"_s, u"http://h/b"_s},
         {digest, digest},
         false},
        {{u"http://h/a"_s, u"http://h/b"_s, u"checksum=md5="_s + QString(32, u'0')},
         {u"http://h/a"_s, u"http://h/b"_s},
         {QString(), u"md5="_s + QString(32, u'0')},
         false},
        {{u"http://h/a"_s, u"checksum=sha-256=abc"_s}, {}, {}, true},
        {{u"checksum="_s + digest, u"http://h/a"_s}, {}, {}, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.lines.join(u'|').toStdString());
        try {
            const QList<DownloadEntry> entries = QueueListFile::typedEntries(row.lines);
            EXPECT_FALSE(row.refused);
            QStringList urls, checksums;
            for (const DownloadEntry &entry : entries) {
                urls << entry.url;
                checksums << entry.options.value(u"checksum"_s);
            }
            EXPECT_EQ(urls, row.urls);
            if (!row.checksums.isEmpty()) {
                EXPECT_EQ(checksums, row.checksums);
            }
        } catch (const QuorvelError &error) {
            EXPECT_TRUE(row.refused) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(u"checksum=sha-256="_s));
        }
    }
}
