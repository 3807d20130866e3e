// SPDX-License-Identifier: MIT
#pragma once

#include "power/PowerRequest.h"

#include <QString>
#include <QStringList>

#include <functional>

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
    /** Runs at each request, for a test to look at what the machine would have been left with. */
    std::function<void()> onRequest;

private:
    void record(const QString &name, bool force)
    {
        calls << name + (force ? QStringLiteral("(true)") : QStringLiteral("(false)"));
        if (onRequest)
            onRequest();
    }
};
