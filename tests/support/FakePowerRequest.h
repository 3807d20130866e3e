// SPDX-License-Identifier: MIT
#pragma once

#include "power/PowerRequest.h"

#include <QString>
#include <QStringList>

#include <functional>

/** Writes down every request instead of making it; answers at once, as a system that takes them. */
class FakePowerRequest final : public PowerRequest
{
public:
    bool isAvailable() const override { return available; }
    void checkPowerOff(Answer answer) override { answer(available ? QString() : QStringLiteral("不可用")); }
    void powerOff(bool force, Answer answer) override { record(QStringLiteral("powerOff"), force, answer); }
    void reboot(bool force, Answer answer) override { record(QStringLiteral("reboot"), force, answer); }
    void logOff(bool force, Answer answer) override { record(QStringLiteral("logOff"), force, answer); }

    bool available = true;
    QStringList calls;
    /** Runs at each request, for a test to look at what the machine would have been left with. */
    std::function<void()> onRequest;

private:
    void record(const QString &name, bool force, const Answer &answer)
    {
        calls << name + (force ? QStringLiteral("(true)") : QStringLiteral("(false)"));
        if (onRequest)
            onRequest();
        if (answer)
            answer(QString());
    }
};
