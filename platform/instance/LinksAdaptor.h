// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

/**
 * The object a running window shows on the session bus: AddLinks(as) hands its list to the
 * receiver and answers with how many URLs it added. Called on the thread that owns it.
 */
class LinksAdaptor final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.quorvel.Quorvel")

public:
    using Receiver = std::function<int(const QStringList &)>;

    explicit LinksAdaptor(Receiver receiver, QObject *parent = nullptr);

public Q_SLOTS:
    Q_SCRIPTABLE int AddLinks(const QStringList &urlsOrListFiles);

private:
    Receiver m_receiver;
};
