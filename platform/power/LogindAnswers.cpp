// SPDX-License-Identifier: MIT
#include "platform/power/LogindAnswers.h"

#include <QDBusError>

namespace {
// A service's message is its own text; a long one says nothing more to the user.
constexpr qsizetype maxDetail = 200;

// Shown in the window and printed on a terminal: no line breaks, escapes or direction marks.
QString detailOf(const QString &text)
{
    QString shown;
    for (const QChar c : text.left(maxDetail)) {
        const QChar::Category category = c.category();
        shown += category == QChar::Other_Control || category == QChar::Other_Format ? QChar(u' ') : c;
    }
    return shown.simplified();
}

const QString noLogind = QStringLiteral(
    "系统总线上没有 logind (org.freedesktop.login1), 例如在容器中或不用 systemd 的系统上");

QString meaning(const QDBusError &error)
{
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
        return noLogind;
    case QDBusError::Disconnected:
    case QDBusError::NoServer:
    case QDBusError::NoNetwork:
        return QStringLiteral("无法连接系统 D-Bus 总线");
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        return QStringLiteral("logind 没有回答");
    case QDBusError::AccessDenied:
        return QStringLiteral("没有权限");
    case QDBusError::UnknownMethod:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
        return QStringLiteral("logind 不支持这个请求");
    default:
        break;
    }
    if (error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        return noLogind;
    if (error.name() == QLatin1String("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired"))
        return QStringLiteral("需要管理员授权, 无人在场时得不到");
    return QStringLiteral("logind 拒绝了请求");
}
} // namespace

QString LogindAnswers::refusal(const QDBusError &error)
{
    const QString detail = detailOf(error.message());
    return detail.isEmpty() ? meaning(error) : QStringLiteral("%1 (%2)").arg(meaning(error), detail);
}

QString LogindAnswers::powerOffAbility(const QString &canPowerOff)
{
    if (canPowerOff == QLatin1String("yes"))
        return {};
    if (canPowerOff == QLatin1String("challenge"))
        return QStringLiteral("需要管理员授权, 无人在场时得不到");
    if (canPowerOff == QLatin1String("no"))
        return QStringLiteral("系统不允许这个用户关机");
    if (canPowerOff == QLatin1String("na"))
        return QStringLiteral("logind 说这个系统不能关机");
    return QStringLiteral("logind 的回答无法理解 (%1)").arg(detailOf(canPowerOff));
}
