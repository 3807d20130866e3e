// SPDX-License-Identifier: MIT
#pragma once

#include "dialogs/FormDialog.h"
#include "dialogs/FormRefs.h"
#include "dialogs/OptionsLinks.h"

#include <QStringList>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

/**
 * "下载选项": new page URLs, one per line, each optionally followed by a checksum line, and the
 * save folder. Every change of SavePath is
 * copied into the main window's save folder at once, whatever the dialog's outcome. UI thread only.
 */
class TForm2 final : public FormDialog
{
    Q_OBJECT

public:
    /** Lines longer than this are cut when they join the queue. */
    static constexpr int maxLineLength = 4096;

    TForm2(FormRefs &forms, OptionsLinks &links, QWidget *parent = nullptr);

    QString savePath() const;
    void setSavePath(const QString &path);
    /** The main window's save folder as it is now: empty until one is set. */
    QString saveFolder() const;
    /** The memo's lines as they would join the queue. */
    QStringList memoLines() const;

    QFrame *Panel1;
    QLineEdit *SavePath;
    QPushButton *SaveOnBtn;
    QLabel *Label1;
    /** How a URL's checksum is given in the memo. */
    QLabel *ChecksumHint;
    QPlainTextEdit *Memo1;
    QCheckBox *CheckBox1;
    QPushButton *NewURLBtn;
    QPushButton *BitBtn2;

    void SavePathChange();
    void SaveOnBtnClick();
    void CheckBox1Click();
    void NewURLBtnClick();

private:
    void buildControls();

    FormRefs &m_forms;
    OptionsLinks &m_links;
};
