// SPDX-License-Identifier: MIT
#pragma once

#include "power/PowerRequest.h"

#include <QString>
#include <QStringList>

/** Writes down every request instead of making it. */
class FakePowerRequest final : public PowerRequest
{
public:
    bool isAvailable() const override { return available; }
    void powerOff(bool force) override { record(QStringLiteral("powerOff"), force); }
    void reboot(bool force) override { record(QStringLiteral("reboot"), force); }
    void logOff(bool force) override { record(QStringLiteral("logOff"), force); }

    bool available = true;
    QStringList calls;

private:
    void record(const QString &name, bool force)
    {
        calls << name + (force ? QStringLiteral("(true)") : QStringLiteral("(false)"));
    }
};
