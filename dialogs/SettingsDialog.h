// SPDX-License-Identifier: MIT
#pragma once

#include "settings/Settings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimeEdit;

/**
 * "设置": the proxy, the speed limits with their hours, the command after each file and the
 * remote control. It is as large as its contents; the fields of a manual proxy, of each limit and
 * of the remote control are enabled only while they count, and OK only while a manual proxy has
 * its host and a remote control turned on its secret (shown masked). A setting the program could
 * not apply is said above the buttons. Typed getters and setters, so a test needs no exec().
 * UI thread only.
 */
class SettingsDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit SettingsDialog(QWidget *parent = nullptr);

    Settings settings() const;
    void setSettings(const Settings &settings);
    /** Why each setting that is in force was not applied; empty hides the line. */
    void setNotApplied(const QStringList &reasons);

    QRadioButton *noProxy;
    QRadioButton *systemProxy;
    QRadioButton *manualProxy;
    QComboBox *proxyType;
    QLineEdit *proxyHost;
    QSpinBox *proxyPort;
    QLineEdit *proxyUser;
    QLineEdit *proxyPassword;
    QLineEdit *proxyExceptions;
    QCheckBox *limited;
    QSpinBox *limit;
    QCheckBox *scheduled;
    QSpinBox *scheduledLimit;
    QTimeEdit *from;
    QTimeEdit *to;
    QLineEdit *onDownloadComplete;
    QCheckBox *remoteEnabled;
    QSpinBox *remotePort;
    QLineEdit *remoteSecret;
    QLabel *notApplied;
    QPushButton *okButton;
    QPushButton *cancelButton;

private:
    QWidget *proxyBox();
    QWidget *speedBox();
    QWidget *commandBox();
    QWidget *remoteBox();
    void enableFields();
};
