// SPDX-License-Identifier: MIT
#include "flow/TargetPath.h"
#include "tests/automation/QStringPrinter.h"

#include <gtest/gtest.h>

struct NameCase
{
    const char *url;
    const char *name;
};

class FileNameFromUrl : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(FileNameFromUrl, IsTheDecodedLastSegmentThatCannotLeaveTheFolder)
{
    EXPECT_EQ(fileNameFromUrl(QString::fromUtf8(GetParam().url)), QString::fromUtf8(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(
    Urls, FileNameFromUrl,
    ::testing::Values(NameCase{"http://srv1/f/42/report.zip", "report.zip"},
                      NameCase{"http://srv/f/report%20v2.zip?key=1#top", "report v2.zip"},
                      NameCase{"http://srv/f/a.zip#frag/x", "a.zip"},
                      NameCase{"http://srv/f/%E6%96%87%E4%BB%B6.rar", "文件.rar"},
                      NameCase{"http://srv/f/..%2F..%2Fetc%2Fpasswd", ".._.._etc_passwd"},
                      NameCase{"http://srv/f/%2e%2e", "download"},
                      NameCase{"http://srv/f/.", "download"},
                      NameCase{"http://srv/f/", "download"},
                      NameCase{"", "download"},
                      NameCase{"http://srv/f/a%00b%0Ac", "a_b_c"},
                      NameCase{"http://srv/f/back\\slash", "back\\slash"}));

TEST(TargetPath, JoinsWithOneSeparatorAndNeverFallsBackToTheRoot)
{
    const QString fallback = QStringLiteral("/home/u/Quorvel/Downloads");
    EXPECT_EQ(targetPath(QStringLiteral("/data"), QStringLiteral("a.zip"), fallback), QStringLiteral("/data/a.zip"));
    EXPECT_EQ(targetPath(QStringLiteral("/data//"), QStringLiteral("a.zip"), fallback), QStringLiteral("/data/a.zip"));
    EXPECT_EQ(targetPath(QString(), QStringLiteral("a.zip"), fallback), fallback + QStringLiteral("/a.zip"));
    EXPECT_EQ(targetPath(QStringLiteral("/"), QStringLiteral("a.zip"), fallback), QStringLiteral("/a.zip"));
}

struct FitCase
{
    const char *label;
    QString name;
    qsizetype maxBytes;
    /** The shortened name's start before the "~" and its tag; empty when the name fits. */
    QString stem;
    QString extension;
};

void PrintTo(const FitCase &fit, std::ostream *out)
{
    *out << fit.label;
}

class FitFileName : public ::testing::TestWithParam<FitCase>
{
};

TEST_P(FitFileName, FitsTheLimitOnACharacterBoundaryKeepingTheExtension)
{
    const FitCase &fit = GetParam();
    const QString fitted = fitFileName(fit.name, fit.maxBytes);
    if (fit.stem.isEmpty()) {
        EXPECT_EQ(fitted, fit.name);
        return;
    }
    EXPECT_LE(fitted.toUtf8().size(), fit.maxBytes);
    EXPECT_GE(fitted.toUtf8().size(), fit.maxBytes - 3) << "cut more than one character too much";
    EXPECT_TRUE(fitted.startsWith(fit.stem + QLatin1Char('~'))) << fitted.toStdString();
    EXPECT_TRUE(fitted.endsWith(fit.extension));
    EXPECT_EQ(fitted.size(), fit.stem.size() + 9 + fit.extension.size());
    EXPECT_FALSE(fitted.contains(QChar::ReplacementCharacter));
    EXPECT_EQ(QString::fromUtf8(fitted.toUtf8()), fitted) << "a character was cut in half";
}

const QString cjk90 = QString(90, QChar(0x4E2D)) + QStringLiteral(".rar");
const QString emoji = QString(70, u'x').replace(u'x', QStringLiteral("\U0001F600")) + QStringLiteral(".mp4");

INSTANTIATE_TEST_SUITE_P(
    Names, FitFileName,
    ::testing::Values(
        FitCase{"Ascii255Fits", QString(251, u'a') + QStringLiteral(".zip"), 255, {}, {}},
        FitCase{"Cjk85Fits", QString(85, QChar(0x4E2D)), 255, {}, {}},
        FitCase{"Ascii300", QString(296, u'a') + QStringLiteral(".zip"), 255, QString(242, u'a'), QStringLiteral(".zip")},
        // 3 bytes a character: 242 bytes of room take 80 characters, never 80 and a part.
        FitCase{"Cjk90", cjk90, 255, QString(80, QChar(0x4E2D)), QStringLiteral(".rar")},
        // 4 bytes and two UTF-16 units a character: a surrogate pair is never split.
        FitCase{"Emoji", emoji, 255, QString(emoji).first(120), QStringLiteral(".mp4")},
        FitCase{"NoExtension", QString(300, u'b'), 255, QString(246, u'b'), {}},
        FitCase{"ExtensionTooLongToKeep", QStringLiteral("a.") + QString(298, u'c'), 255,
                QStringLiteral("a.") + QString(244, u'c'), {}},
        FitCase{"ExtensionLongerThanTheRoom", QString(40, u'e') + QStringLiteral(".extension"), 18,
                QString(9, u'e'), {}},
        FitCase{"SmallerFileSystemLimit", QString(200, u'd') + QStringLiteral(".iso"), 143, QString(130, u'd'),
                QStringLiteral(".iso")}),
    [](const ::testing::TestParamInfo<FitCase> &info) { return std::string(info.param.label); });

TEST(FitFileName, LongNamesThatDifferOnlyAtTheirEndStayApartAndStable)
{
    const QString stem = QString(280, u'x');
    const QString first = fitFileName(stem + QStringLiteral("part1.rar"), 255);
    EXPECT_NE(first, fitFileName(stem + QStringLiteral("part2.rar"), 255));
    EXPECT_EQ(first, fitFileName(stem + QStringLiteral("part1.rar"), 255));
}
