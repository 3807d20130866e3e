// SPDX-License-Identifier: MIT
#include "remote/Aria2Methods.h"

#include <QHash>

const QList<std::pair<QString, Aria2Methods::Method>> &Aria2Methods::methodTable()
{
    // aria2's own names; forcePause and forceRemove are the same as their plain forms here, since
    // nothing has to be told goodbye first.
    static const QList<std::pair<QString, Method>> table{
        {QStringLiteral("aria2.addUri"), &Aria2Methods::addUri},
        {QStringLiteral("aria2.remove"), &Aria2Methods::remove},
        {QStringLiteral("aria2.forceRemove"), &Aria2Methods::remove},
        {QStringLiteral("aria2.pause"), &Aria2Methods::pause},
        {QStringLiteral("aria2.forcePause"), &Aria2Methods::pause},
        {QStringLiteral("aria2.pauseAll"), &Aria2Methods::pauseAll},
        {QStringLiteral("aria2.forcePauseAll"), &Aria2Methods::pauseAll},
        {QStringLiteral("aria2.unpause"), &Aria2Methods::unpause},
        {QStringLiteral("aria2.unpauseAll"), &Aria2Methods::unpauseAll},
        {QStringLiteral("aria2.tellStatus"), &Aria2Methods::tellStatus},
        {QStringLiteral("aria2.getUris"), &Aria2Methods::getUris},
        {QStringLiteral("aria2.getFiles"), &Aria2Methods::getFiles},
        {QStringLiteral("aria2.tellActive"), &Aria2Methods::tellActive},
        {QStringLiteral("aria2.tellWaiting"), &Aria2Methods::tellWaiting},
        {QStringLiteral("aria2.tellStopped"), &Aria2Methods::tellStopped},
        {QStringLiteral("aria2.changePosition"), &Aria2Methods::changePosition},
        {QStringLiteral("aria2.getOption"), &Aria2Methods::getOption},
        {QStringLiteral("aria2.getGlobalOption"), &Aria2Methods::getGlobalOption},
        {QStringLiteral("aria2.changeGlobalOption"), &Aria2Methods::changeGlobalOption},
        {QStringLiteral("aria2.purgeDownloadResult"), &Aria2Methods::purgeDownloadResult},
        {QStringLiteral("aria2.removeDownloadResult"), &Aria2Methods::removeDownloadResult},
        {QStringLiteral("aria2.getVersion"), &Aria2Methods::getVersion},
        {QStringLiteral("aria2.getSessionInfo"), &Aria2Methods::getSessionInfo},
        {QStringLiteral("aria2.shutdown"), &Aria2Methods::shutdown},
        {QStringLiteral("aria2.forceShutdown"), &Aria2Methods::forceShutdown},
        {QStringLiteral("aria2.getGlobalStat"), &Aria2Methods::getGlobalStat},
        {QStringLiteral("aria2.saveSession"), &Aria2Methods::saveSession},
    };
    return table;
}

std::optional<Aria2Methods::Method> Aria2Methods::methodNamed(const QString &name)
{
    static const QHash<QString, Method> byName = [] {
        QHash<QString, Method> methods;
        for (const auto &[methodName, method] : methodTable())
            methods.insert(methodName, method);
        return methods;
    }();
    if (const auto found = byName.constFind(name); found != byName.cend())
        return *found;
    return std::nullopt;
}
