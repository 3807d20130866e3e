// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

/**
 * The modeless find dialog over one text field: each "查找下一个" selects the next match after the
 * field's selection, upward or downward, with or without case. UI thread only.
 */
class FindTextDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit FindTextDialog(QWidget *parent);

    /** The field searched from now on; the dialog forgets it when the field is destroyed. */
    void setTarget(QLineEdit *target);
    void setPattern(const QString &pattern);
    void setCaseSensitive(bool caseSensitive);
    void setUpward(bool upward);
    /** Selects the next match in the target; false, with the selection unchanged, when none. */
    bool findNext();

private:
    void findClicked();

    QPointer<QLineEdit> m_target;
    QLineEdit *m_pattern;
    QCheckBox *m_caseSensitive;
    QRadioButton *m_upward;
    QRadioButton *m_downward;
    QPushButton *m_find;
};
