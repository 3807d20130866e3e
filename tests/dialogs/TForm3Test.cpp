// SPDX-License-Identifier: MIT
#include "common/UrlOpener.h"
#include "dialogs/ClickableLabel.h"
#include "dialogs/TForm3.h"

#include <QGroupBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class RecordingOpener final : public UrlOpener
{
public:
    void open(const QUrl &url) override { opened.append(url); }
    QList<QUrl> opened;
};

} // namespace

TEST(TForm3, EachLinkOpensItsOwnTarget)
{
    RecordingOpener opener;
    TForm3 about(opener);
    about.show();
    for (ClickableLabel *link : {about.Label7, about.Label11, about.StaticText1}) {
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(link, Qt::LeftButton);
    }
    EXPECT_EQ(opener.opened,
              QList<QUrl>({QUrl(u"https://donate.example.org/quorvel"_s),
                           QUrl(u"https://quorvel.example.org/"_s),
                           QUrl(u"mailto:help@quorvel.example.org"_s)}));
    QTest::mouseClick(about.Label2, Qt::LeftButton);
    QTest::mouseClick(about.StaticText1, Qt::RightButton);
    EXPECT_EQ(opener.opened.size(), 3);
}

TEST(TForm3, ShowsItsTextsAndTwoInvisibleLinks)
{
    RecordingOpener opener;
    TForm3 about(opener);
    EXPECT_EQ(about.windowTitle(), u"关于 Quorvel"_s);
    EXPECT_EQ(about.GroupBox1->title(), u"Quorvel  V.1.0"_s);
    EXPECT_EQ(about.Label5->text(), u"              谢谢你使用 Quorvel"_s);
    EXPECT_TRUE(about.Label7->text().isEmpty());
    EXPECT_GT(about.Label7->width(), 0);
    EXPECT_TRUE(about.Label11->text().isEmpty());
}

TEST(TForm3, TheGroupBoxKeepsItsSizeWithEvenMarginsWhateverTheFrameLeaves)
{
    RecordingOpener opener;
    TForm3 about(opener);
    about.show();
    for (const QSize client : {QSize(392, 321), QSize(398, 334)}) {
        about.setFixedSize(client);
        const QRect box = about.GroupBox1->geometry();
        EXPECT_EQ(box.size(), QSize(377, 305));
        EXPECT_LE(std::abs(box.left() - (client.width() - box.right() - 1)), 1) << client.width();
        EXPECT_LE(std::abs(box.top() - (client.height() - box.bottom() - 1)), 1) << client.height();
    }
}
