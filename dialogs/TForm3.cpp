// SPDX-License-Identifier: MIT
#include "dialogs/TForm3.h"

#include "common/UrlOpener.h"
#include "dialogs/ClickableLabel.h"
#include "dialogs/FieldLook.h"

#include <QGroupBox>

TForm3::TForm3(UrlOpener &opener, QWidget *parent)
    : FormDialog(QStringLiteral("关于 Quorvel"), QSize(400, 355), parent), m_opener(opener)
{
    setObjectName(QStringLiteral("Form3"));
    GroupBox1 = new QGroupBox(QStringLiteral("Quorvel  V.1.0"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 8, 377, 305);
    centreInClientArea(GroupBox1);
    FieldLook::fillWith(GroupBox1, FieldLook::silver);

    Label2 = addLabel(QStringLiteral("Label2"),
                      QStringLiteral(" Quorvel 帮助大家方便从 RAPIDSHARE 下载文件"), {46, 40});
    Label5 = addLabel(QStringLiteral("Label5"),
                      QStringLiteral("              谢谢你使用 Quorvel"), {24, 88});
    Label8 = addLabel(QStringLiteral("Label8"),
                      QStringLiteral("有什么问题或需要帮助,请发送邮件到: "), {80, 152});
    Label14 = addLabel(QStringLiteral("Label14"), QStringLiteral("support@quorvel.example.org"),
                       {96, 200});
    Label10 = addLabel(QStringLiteral("Label10"), QStringLiteral("简体中文翻译: Quorvel 团队: "),
                       {52, 264});
    // Two links without text: one blank wide, found only by the hand cursor over them.
    const int blank = fontMetrics().horizontalAdvance(QLatin1Char(' '));
    const int lineHeight = fontMetrics().height();
    Label7 = addLink(QStringLiteral("Label7"), QString(), {143, 136, blank, lineHeight});
    Label11 = addLink(QStringLiteral("Label11"), QString(), {12, 184, blank, lineHeight});
    StaticText1 = addLink(QStringLiteral("StaticText1"),
                          QStringLiteral("Quorvel 团队 博客: https://quorvel.example.org/blog"),
                          {2, 286, 373, 17});
    StaticText1->setAlignment(Qt::AlignCenter);
    connect(Label7, &ClickableLabel::clicked, this, &TForm3::Label7Click);
    connect(Label11, &ClickableLabel::clicked, this, &TForm3::Label11Click);
    connect(StaticText1, &ClickableLabel::clicked, this, &TForm3::StaticText1Click);
}

QLabel *TForm3::addLabel(const QString &name, const QString &text, QPoint place)
{
    auto *label = new QLabel(text, GroupBox1);
    label->setObjectName(name);
    label->move(place);
    label->adjustSize();
    return label;
}

ClickableLabel *TForm3::addLink(const QString &name, const QString &text, QRect place)
{
    auto *label = new ClickableLabel(text, GroupBox1);
    label->setObjectName(name);
    label->setGeometry(place);
    return label;
}

void TForm3::Label7Click()
{
    m_opener.open(QUrl(QStringLiteral("https://donate.example.org/quorvel")));
}

void TForm3::Label11Click()
{
    m_opener.open(QUrl(QStringLiteral("https://quorvel.example.org/")));
}

void TForm3::StaticText1Click()
{
    m_opener.open(QUrl(QStringLiteral("mailto:help@quorvel.example.org")));
}
