// SPDX-License-Identifier: MIT
#pragma once

#include "dialogs/FormDialog.h"

class ClickableLabel;
class QGroupBox;
class QLabel;
class UrlOpener;

/** "关于 Quorvel": what the program is for, a help address and three links. UI thread only. */
class TForm3 final : public FormDialog
{
    Q_OBJECT

public:
    explicit TForm3(UrlOpener &opener, QWidget *parent = nullptr);

    QGroupBox *GroupBox1;
    QLabel *Label2;
    QLabel *Label5;
    ClickableLabel *Label7;
    QLabel *Label8;
    ClickableLabel *Label11;
    QLabel *Label14;
    QLabel *Label10;
    ClickableLabel *StaticText1;

    void Label7Click();
    void Label11Click();
    void StaticText1Click();

private:
    QLabel *addLabel(const QString &name, const QString &text, QPoint place);
    ClickableLabel *addLink(const QString &name, const QString &text, QRect place);

    UrlOpener &m_opener;
};
