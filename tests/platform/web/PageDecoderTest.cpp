// SPDX-License-Identifier: MIT
#include "platform/web/EncodingLabels.h"
#include "platform/web/PageDecoder.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

namespace {

const QByteArray gbk = "<p>\xD6\xD0\xCE\xC4</p>"; // 中文 in GBK

TEST(PageDecoder, CharsetFromBomThenHeaderThenMeta)
{
    EXPECT_EQ(PageDecoder::toUtf8(gbk, "text/html; charset=GB2312"), "<p>中文</p>");
    EXPECT_EQ(PageDecoder::toUtf8("<meta http-equiv=Content-Type content=\"text/html; charset=gbk\">" + gbk, "text/html"),
              "<meta http-equiv=Content-Type content=\"text/html; charset=gbk\"><p>中文</p>");
    EXPECT_EQ(PageDecoder::toUtf8("<meta charset='iso-8859-1'>\x80", ""), "<meta charset='iso-8859-1'>€");
    EXPECT_EQ(PageDecoder::toUtf8("<meta charset=' Latin1 '>\x80", "text/html; charset=UTF-8"), "<meta charset=' Latin1 '>\xEF\xBF\xBD");
    EXPECT_EQ(PageDecoder::toUtf8("\xEF\xBB\xBFok", "text/html; charset=gbk"), "ok");
}

TEST(PageDecoder, Gb2312IsReadAsGbkAsBrowsersDo)
{
    // Pages labelled gb2312 are GBK in practice: names such as 喆 and 堃 exist only there.
    const QByteArray gbkOnly = "<p>\x86\xB4\x88\xD2</p>";
    EXPECT_EQ(PageDecoder::toUtf8(gbkOnly, "text/html; charset=gb2312"), "<p>喆堃</p>");
    EXPECT_EQ(PageDecoder::toUtf8("<meta charset=GB_2312-80>" + gbkOnly, ""), "<meta charset=GB_2312-80><p>喆堃</p>");
}

TEST(PageDecoder, LabelsNoBrowserKnowsAreIgnored)
{
    // An ASCII page labelled so stays readable; the next label that is known counts.
    EXPECT_EQ(PageDecoder::toUtf8("<meta charset=utf-32><p>x", ""), "<meta charset=utf-32><p>x");
    EXPECT_EQ(PageDecoder::toUtf8("<p>x</p>", "text/html; charset=IBM037"), "<p>x</p>");
    EXPECT_EQ(PageDecoder::encodingOf("<meta charset=IBM037><meta charset=koi8-r>", ""), "KOI8-R");
    // Unlabelled after all: UTF-8 if it is, else the Western legacy encoding.
    EXPECT_EQ(PageDecoder::toUtf8("a\xC3\xA9", "text/html; charset=no-such-thing"), "a\xC3\xA9");
    EXPECT_EQ(PageDecoder::toUtf8("a\xE9" "b", "text/html; charset=no-such-thing"), "a\xC3\xA9" "b");
}

TEST(PageDecoder, Utf16OnlyFromABomOrTheHeader)
{
    EXPECT_EQ(PageDecoder::encodingOf("<meta charset=utf-16><p>x", ""), "UTF-8");
    EXPECT_EQ(PageDecoder::toUtf8(QByteArray("<\0p\0>\0", 6), "text/html; charset=utf-16"), "<p>");
    EXPECT_EQ(PageDecoder::toUtf8(QByteArray("\xFF\xFE<\0p\0", 6), ""), "<p");
    // FF FE 00 00 is a UTF-16 byte order mark to a browser, never UTF-32's.
    EXPECT_EQ(PageDecoder::encodingOf(QByteArray("\xFF\xFE\0\0", 4), ""), "UTF-16LE");
    EXPECT_EQ(PageDecoder::toUtf8(QByteArray("\xFE\xFF\0<", 4), "text/html; charset=utf-8"), "<");
}

TEST(PageDecoder, ReplacementAndUserDefined)
{
    EXPECT_EQ(PageDecoder::toUtf8("<p>anything</p>", "text/html; charset=iso-2022-kr"), "\xEF\xBF\xBD");
    EXPECT_EQ(PageDecoder::toUtf8("a\x80", "text/html; charset=x-user-defined"), "a\xEF\x9E\x80");
    EXPECT_EQ(PageDecoder::encodingOf("<meta charset=x-user-defined>", ""), "windows-1252");
}

TEST(EncodingLabels, EveryEncodingOfTheTableHasADecoder)
{
    EXPECT_EQ(EncodingLabels::encodingFor(" Shift-JIS\t"), "Shift_JIS");
    EXPECT_EQ(EncodingLabels::encodingFor("utf-32"), "");
    for (const char *label : {"utf-8", "ibm866", "latin2", "latin3", "latin4", "cyrillic", "arabic", "greek", "hebrew",
                              "latin6", "iso-8859-13", "iso-8859-14", "l9", "koi8-r", "koi8-u", "mac",
                              "tis-620", "cp1250", "cp1251", "ascii", "cp1253", "latin5", "cp1255", "cp1256", "cp1257",
                              "cp1258", "x-mac-cyrillic", "gb18030", "big5", "euc-jp", "iso-2022-jp", "sjis", "euc-kr",
                              "utf-16be", "utf-16le"}) {
        const QByteArray encoding = EncodingLabels::encodingFor(label);
        ASSERT_FALSE(encoding.isEmpty()) << label;
        EXPECT_TRUE(QStringDecoder(encoding.constData()).isValid()) << label << " " << encoding.constData();
    }
    // ICU has no ISO-8859-16; the Latin-1 letters it shares with windows-1252 stay readable.
    EXPECT_EQ(PageDecoder::toUtf8("<p>\xE9", "text/html; charset=iso-8859-16"), "<p>\xC3\xA9");
    // The two the decoder maps to ICU's names.
    EXPECT_EQ(PageDecoder::toUtf8(gbk, "text/html; charset=gbk"), "<p>中文</p>");
    EXPECT_EQ(PageDecoder::toUtf8("\xE0", "text/html; charset=logical"), "\xD7\x90");
}

} // namespace
