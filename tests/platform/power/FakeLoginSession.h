// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

/** Stands in for one logind session object, whose Id property names the session. */
class FakeLoginSession final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
    Q_PROPERTY(QString Id READ id CONSTANT)

public:
    static inline const QString sessionId = QStringLiteral("c42");

    QString id() const { return sessionId; }
};
