// SPDX-License-Identifier: MIT
#pragma once

#include "power/SleepInhibitor.h"

/** A sleep lock that is never had: for tools and benchmarks, which leave the system alone. Any thread. */
class NoSleepInhibitor final : public SleepInhibitor
{
public:
    void hold(const QString &, Refusal refused) override { refused(QStringLiteral("此程序不阻止休眠")); }
    void release() override { }
};
