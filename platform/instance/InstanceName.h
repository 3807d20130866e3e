// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class LinksAdaptor;

/**
 * One window per user: the first start owns a well-known name on the session bus and takes the
 * links later starts hand it. Only the session bus, which is the user's own; without one a start
 * cannot tell whether a window runs, and says so rather than open a second one. Blocking calls,
 * UI thread only; the receiver runs there from the event loop.
 */
class InstanceName final : public QObject
{
    Q_OBJECT

public:
    using Receiver = std::function<int(const QStringList &)>;

    static constexpr const char *serviceName = "org.quorvel.Quorvel";
    static constexpr const char *objectPath = "/org/quorvel/Quorvel";

    /** What a start that found the name taken did with its links. */
    struct HandOver
    {
        bool delivered = false;
        /** URLs the running window added. */
        int added = 0;
        /** Why they were not delivered, for stderr. */
        QString error;
    };

    /** On the session bus, or, where busAddress is given, on that bus. */
    explicit InstanceName(const QString &busAddress = QString(), QObject *parent = nullptr);
    ~InstanceName() override;

    bool isConnected() const;
    /** Why there is no bus, when there is none. */
    QString busError() const;
    /**
     * Shows the AddLinks object and takes the name, which no one waits in line for; false when
     * another process holds it (or there is no bus). receiver answers every later AddLinks.
     */
    bool claim(Receiver receiver);
    /** Hands the links to the process that holds the name and waits for its count. */
    HandOver handOver(const QStringList &urlsOrListFiles) const;

private:
    QString m_connectionName;
    std::unique_ptr<LinksAdaptor> m_adaptor;
    bool m_owner = false;
};
