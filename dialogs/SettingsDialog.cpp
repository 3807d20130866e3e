// SPDX-License-Identifier: MIT
#include "dialogs/SettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {
QSpinBox *kibBox(QWidget *parent, const QString &name)
{
    auto *box = new QSpinBox(parent);
    box->setRange(SpeedLimit::minKiB, SpeedLimit::maxKiB);
    box->setSuffix(QStringLiteral(" KiB/s"));
    box->setAccessibleName(name);
    return box;
}

template <typename Widget> Widget *named(Widget *widget, const QString &name)
{
    widget->setAccessibleName(name);
    return widget;
}
} // namespace

SettingsDialog::SettingsDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SettingsDialog"));
    setWindowTitle(QStringLiteral("设置"));
    notApplied = new QLabel(this);
    notApplied->setObjectName(QStringLiteral("notApplied"));
    notApplied->setWordWrap(true);
    notApplied->setStyleSheet(QStringLiteral("color: #b00000"));
    notApplied->hide();
    okButton = named(new QPushButton(QStringLiteral("确定"), this), QStringLiteral("确定"));
    cancelButton = named(new QPushButton(QStringLiteral("取消"), this), QStringLiteral("取消"));
    okButton->setDefault(true);
    auto *buttons = new QDialogButtonBox(Qt::Horizontal, this);
    buttons->addButton(okButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancelButton, QDialogButtonBox::RejectRole);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(proxyBox());
    layout->addWidget(speedBox());
    layout->addWidget(commandBox());
    layout->addWidget(remoteBox());
    layout->addWidget(notApplied);
    layout->addWidget(buttons);
    // As large as what it holds, whatever the font.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(okButton, &QPushButton::clicked, this, &SettingsDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &SettingsDialog::reject);
    for (QAbstractButton *toggle :
         {static_cast<QAbstractButton *>(noProxy), static_cast<QAbstractButton *>(systemProxy),
          static_cast<QAbstractButton *>(manualProxy), static_cast<QAbstractButton *>(limited),
          static_cast<QAbstractButton *>(scheduled), static_cast<QAbstractButton *>(remoteEnabled)})
        connect(toggle, &QAbstractButton::toggled, this, &SettingsDialog::enableFields);
    for (QLineEdit *edit : {proxyHost, remoteSecret})
        connect(edit, &QLineEdit::textChanged, this, &SettingsDialog::enableFields);
    setSettings(Settings());
}

QWidget *SettingsDialog::proxyBox()
{
    auto *box = new QGroupBox(QStringLiteral("代理服务器"), this);
    noProxy = named(new QRadioButton(QStringLiteral("不使用代理(&N)"), box), QStringLiteral("不使用代理"));
    systemProxy = named(new QRadioButton(QStringLiteral("使用系统代理 (环境变量 http_proxy 等)(&S)"), box),
                        QStringLiteral("使用系统代理"));
    manualProxy = named(new QRadioButton(QStringLiteral("手动设置代理(&M)"), box), QStringLiteral("手动设置代理"));
    proxyType = named(new QComboBox(box), QStringLiteral("代理类型"));
    proxyType->addItem(QStringLiteral("HTTP"), QStringLiteral("http"));
    proxyType->addItem(QStringLiteral("HTTPS"), QStringLiteral("https"));
    proxyType->addItem(QStringLiteral("SOCKS5"), QStringLiteral("socks5"));
    proxyType->addItem(QStringLiteral("SOCKS5 (由代理解析主机名)"), QStringLiteral("socks5h"));
    proxyHost = named(new QLineEdit(box), QStringLiteral("代理主机"));
    proxyPort = named(new QSpinBox(box), QStringLiteral("代理端口"));
    proxyPort->setRange(1, 65535);
    proxyUser = named(new QLineEdit(box), QStringLiteral("代理用户名"));
    proxyPassword = named(new QLineEdit(box), QStringLiteral("代理密码"));
    proxyPassword->setEchoMode(QLineEdit::Password);
    proxyExceptions = named(new QLineEdit(box), QStringLiteral("不经过代理的主机"));
    proxyExceptions->setPlaceholderText(QStringLiteral("localhost,.example.org"));

    auto *address = new QHBoxLayout;
    address->addWidget(proxyHost, 1);
    auto *portLabel = new QLabel(QStringLiteral("端口(&P):"), box);
    portLabel->setBuddy(proxyPort);
    address->addWidget(portLabel);
    address->addWidget(proxyPort);
    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("类型(&T):"), proxyType);
    // A row of a layout gets a label without a buddy, which would show its "&" as it is.
    auto *hostLabel = new QLabel(QStringLiteral("主机(&H):"), box);
    hostLabel->setBuddy(proxyHost);
    fields->addRow(hostLabel, address);
    fields->addRow(QStringLiteral("用户名(&U):"), proxyUser);
    fields->addRow(QStringLiteral("密码(&W):"), proxyPassword);
    fields->addRow(QStringLiteral("不经过代理的主机(&X):"), proxyExceptions);
    fields->setContentsMargins(20, 0, 0, 0);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(noProxy);
    layout->addWidget(systemProxy);
    layout->addWidget(manualProxy);
    layout->addLayout(fields);
    return box;
}

QWidget *SettingsDialog::speedBox()
{
    auto *box = new QGroupBox(QStringLiteral("下载速度"), this);
    limited = named(new QCheckBox(QStringLiteral("限制下载速度(&L)"), box), QStringLiteral("限制下载速度"));
    limit = kibBox(box, QStringLiteral("下载速度上限"));
    scheduled = named(new QCheckBox(QStringLiteral("在以下时段另行限速(&O)"), box),
                      QStringLiteral("在以下时段另行限速"));
    scheduledLimit = kibBox(box, QStringLiteral("时段内的下载速度上限"));
    from = named(new QTimeEdit(box), QStringLiteral("时段开始"));
    to = named(new QTimeEdit(box), QStringLiteral("时段结束"));
    for (QTimeEdit *edit : {from, to})
        edit->setDisplayFormat(QStringLiteral("HH:mm"));
    auto *hours = new QHBoxLayout;
    hours->addWidget(new QLabel(QStringLiteral("从"), box));
    hours->addWidget(from);
    hours->addWidget(new QLabel(QStringLiteral("到"), box));
    hours->addWidget(to);
    hours->addStretch();
    auto *layout = new QGridLayout(box);
    layout->addWidget(limited, 0, 0);
    layout->addWidget(limit, 0, 1);
    layout->addWidget(scheduled, 1, 0);
    layout->addWidget(scheduledLimit, 1, 1);
    layout->addLayout(hours, 2, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("改动立即用于正在进行的下载; 时段外按上一行限速或全速."), box), 3, 0, 1,
                      2);
    return box;
}

QWidget *SettingsDialog::commandBox()
{
    auto *box = new QGroupBox(QStringLiteral("下载完成后"), this);
    onDownloadComplete = named(new QLineEdit(box), QStringLiteral("每个文件下载完成后运行的命令"));
    auto *layout = new QFormLayout(box);
    layout->addRow(QStringLiteral("运行命令(&C):"), onDownloadComplete);
    layout->addRow(new QLabel(QStringLiteral("命令的参数与 aria2 相同: 编号, 文件数, 文件路径; 不经过 shell."), box));
    return box;
}

QWidget *SettingsDialog::remoteBox()
{
    auto *box = new QGroupBox(QStringLiteral("远程控制"), this);
    remoteEnabled = named(new QCheckBox(QStringLiteral("允许 aria2 客户端远程控制(&R)"), box),
                          QStringLiteral("允许 aria2 客户端远程控制"));
    remotePort = named(new QSpinBox(box), QStringLiteral("远程控制端口"));
    remotePort->setRange(1, 65535);
    remoteSecret = named(new QLineEdit(box), QStringLiteral("远程控制密钥"));
    remoteSecret->setEchoMode(QLineEdit::Password);
    auto *layout = new QFormLayout(box);
    layout->addRow(remoteEnabled);
    layout->addRow(QStringLiteral("端口(&O):"), remotePort);
    layout->addRow(QStringLiteral("密钥(&K):"), remoteSecret);
    layout->addRow(new QLabel(QStringLiteral("只在本机 (127.0.0.1) 监听: 客户端连接 http://127.0.0.1:端口/jsonrpc,\n"
                                             "以 token:密钥 验证; 没有密钥不会启动."),
                              box));
    return box;
}

void SettingsDialog::enableFields()
{
    const bool manual = manualProxy->isChecked();
    for (QWidget *field : {static_cast<QWidget *>(proxyType), static_cast<QWidget *>(proxyHost),
                           static_cast<QWidget *>(proxyPort), static_cast<QWidget *>(proxyUser),
                           static_cast<QWidget *>(proxyPassword), static_cast<QWidget *>(proxyExceptions)})
        field->setEnabled(manual);
    limit->setEnabled(limited->isChecked());
    for (QWidget *field :
         {static_cast<QWidget *>(scheduledLimit), static_cast<QWidget *>(from), static_cast<QWidget *>(to)})
        field->setEnabled(scheduled->isChecked());
    const bool remote = remoteEnabled->isChecked();
    remotePort->setEnabled(remote);
    remoteSecret->setEnabled(remote);
    // A manual proxy without its host would send everything direct, which the user did not ask
    // for; a remote control without its secret would not start.
    okButton->setEnabled((!manual || !proxyHost->text().trimmed().isEmpty())
                         && (!remote || !remoteSecret->text().isEmpty()));
}

Settings SettingsDialog::settings() const
{
    Settings s;
    s.proxy.mode = manualProxy->isChecked() ? ProxySetting::Mode::Manual
        : noProxy->isChecked()              ? ProxySetting::Mode::None
                                            : ProxySetting::Mode::System;
    s.proxy.scheme = proxyType->currentData().toString();
    s.proxy.host = proxyHost->text().trimmed();
    s.proxy.port = proxyPort->value();
    s.proxy.user = proxyUser->text();
    s.proxy.password = proxyPassword->text();
    s.proxy.noProxy = proxyExceptions->text().trimmed();
    s.speed.limited = limited->isChecked();
    s.speed.kibPerSecond = limit->value();
    s.speed.scheduled = scheduled->isChecked();
    s.speed.scheduledKibPerSecond = scheduledLimit->value();
    s.speed.from = from->time();
    s.speed.to = to->time();
    s.onDownloadComplete = onDownloadComplete->text().trimmed();
    s.remote.enabled = remoteEnabled->isChecked();
    s.remote.port = remotePort->value();
    s.remote.secret = remoteSecret->text();
    return s;
}

void SettingsDialog::setSettings(const Settings &s)
{
    switch (s.proxy.mode) {
    case ProxySetting::Mode::None:
        noProxy->setChecked(true);
        break;
    case ProxySetting::Mode::System:
        systemProxy->setChecked(true);
        break;
    case ProxySetting::Mode::Manual:
        manualProxy->setChecked(true);
        break;
    }
    proxyType->setCurrentIndex(std::max(0, proxyType->findData(s.proxy.scheme)));
    proxyHost->setText(s.proxy.host);
    proxyPort->setValue(s.proxy.port > 0 ? s.proxy.port : ProxySetting::defaultPort(s.proxy.scheme));
    proxyUser->setText(s.proxy.user);
    proxyPassword->setText(s.proxy.password);
    proxyExceptions->setText(s.proxy.noProxy);
    limited->setChecked(s.speed.limited);
    limit->setValue(s.speed.kibPerSecond);
    scheduled->setChecked(s.speed.scheduled);
    scheduledLimit->setValue(s.speed.scheduledKibPerSecond);
    from->setTime(s.speed.from);
    to->setTime(s.speed.to);
    onDownloadComplete->setText(s.onDownloadComplete);
    remoteEnabled->setChecked(s.remote.enabled);
    remotePort->setValue(s.remote.port);
    remoteSecret->setText(s.remote.secret);
    enableFields();
}

void SettingsDialog::setNotApplied(const QStringList &reasons)
{
    notApplied->setText(QStringLiteral("未应用: ") + reasons.join(QStringLiteral("; ")));
    notApplied->setVisible(!reasons.isEmpty());
}
