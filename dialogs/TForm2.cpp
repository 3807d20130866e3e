// SPDX-License-Identifier: MIT
#include "dialogs/TForm2.h"

#include "dialogs/ErrorBox.h"
#include "dialogs/FreshForm.h"
#include "dialogs/TForm4.h"
#include "platform/system/DownloadFolder.h"
#include "queue/DownloadQueue.h"
#include "queue/QueueListFile.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

TForm2::TForm2(FormRefs &forms, OptionsLinks &links, QWidget *parent)
    : FormDialog(QStringLiteral("下载选项"), QSize(552, 338), parent), m_forms(forms),
      m_links(links)
{
    setObjectName(QStringLiteral("Form2"));
    buildControls();
    connect(SavePath, &QLineEdit::textChanged, this, &TForm2::SavePathChange);
    connect(SaveOnBtn, &QPushButton::clicked, this, ErrorBox::guarded(this, &TForm2::SaveOnBtnClick));
    connect(CheckBox1, &QCheckBox::clicked, this, &TForm2::CheckBox1Click);
    connect(NewURLBtn, &QPushButton::clicked, this, ErrorBox::guarded(this, &TForm2::NewURLBtnClick));
    connect(BitBtn2, &QPushButton::clicked, this, &TForm2::reject);
}

void TForm2::buildControls()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setGeometry(0, 0, 544, 304);
    fillClientArea(Panel1);
    auto *savePathLabel = new QLabel(QStringLiteral("保存文件夹:"), Panel1);
    savePathLabel->move(8, 8);
    SavePath = new QLineEdit(Panel1);
    SavePath->setGeometry(8, 24, 345, 21);
    savePathLabel->setBuddy(SavePath);
    SaveOnBtn = new QPushButton(QStringLiteral("..."), Panel1);
    SaveOnBtn->setGeometry(368, 24, 23, 22);
    QFont bold(QStringLiteral("SimSun"));
    bold.setPixelSize(17);
    bold.setBold(true);
    SaveOnBtn->setFont(bold);

    Label1 = new QLabel(QStringLiteral("输入新的网址"), this);
    Label1->move(8, 64);
    ChecksumHint = new QLabel(QStringLiteral("要校验文件, 在网址下一行写 checksum=sha-256=校验值 (或 sha-1, md5)"),
                              this);
    ChecksumHint->setGeometry(120, 64, 417, 17);
    ChecksumHint->setForegroundRole(QPalette::PlaceholderText);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setGeometry(8, 88, 529, 169);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setTabChangesFocus(true);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    CheckBox1 = new QCheckBox(QStringLiteral("立即开始下载"), this);
    CheckBox1->setGeometry(35, 272, 131, 17);
    NewURLBtn = new QPushButton(QStringLiteral("确定"), this);
    NewURLBtn->setGeometry(210, 272, 75, 25);
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn2->setGeometry(330, 272, 75, 25);

    const QList<QWidget *> named = {SavePath, SaveOnBtn, Label1, ChecksumHint, Memo1, CheckBox1, NewURLBtn, BitBtn2};
    const QStringList names = {QStringLiteral("SavePath"),     QStringLiteral("SaveOnBtn"), QStringLiteral("Label1"),
                               QStringLiteral("ChecksumHint"), QStringLiteral("Memo1"),     QStringLiteral("CheckBox1"),
                               QStringLiteral("NewURLBtn"),    QStringLiteral("BitBtn2")};
    for (qsizetype i = 0; i < named.size(); ++i)
        named[i]->setObjectName(names[i]);
    // Enter in the folder field adds the URLs; in the memo it starts a line, on a button presses it.
    NewURLBtn->setDefault(true);
    setTabOrder(Memo1, CheckBox1);
    setTabOrder(CheckBox1, NewURLBtn);
    setTabOrder(NewURLBtn, BitBtn2);
    setTabOrder(BitBtn2, SavePath);
    setTabOrder(SavePath, SaveOnBtn);
    // The dialog is opened to type or paste URLs.
    Memo1->setFocus();
}

QString TForm2::savePath() const
{
    return SavePath->text();
}

void TForm2::setSavePath(const QString &path)
{
    SavePath->setText(path);
}

QString TForm2::saveFolder() const
{
    return m_links.Edit2.text();
}

QStringList TForm2::memoLines() const
{
    QStringList lines = Memo1->toPlainText().split(QLatin1Char('\n'));
    // The break after the last line does not start another one.
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines)
        line.truncate(maxLineLength);
    return lines;
}

void TForm2::SavePathChange()
{
    m_links.Edit2.setText(SavePath->text());
}

void TForm2::SaveOnBtnClick()
{
    execFresh(m_forms.Form4, m_forms, this);
}

void TForm2::CheckBox1Click()
{
    // A click may tick the box but never clear it.
    CheckBox1->setChecked(true);
}

void TForm2::NewURLBtnClick()
{
    m_links.queue.appendEntries(QueueListFile::typedEntries(memoLines()));
    m_links.queue.showHead();
    if (CheckBox1->isChecked())
        m_links.startDownload();
    if (SavePath->text().isEmpty())
        m_links.Edit2.setText(DownloadFolder::defaultPath());
    accept();
}
