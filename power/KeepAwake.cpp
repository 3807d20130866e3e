// SPDX-License-Identifier: MIT
#include "power/KeepAwake.h"

#include "power/SleepInhibitor.h"

#include <QPointer>

#include <utility>

KeepAwake::KeepAwake(SleepInhibitor &inhibitor, QObject *parent)
    : QObject(parent)
    , m_inhibitor(inhibitor)
{
}

KeepAwake::~KeepAwake()
{
    cameToRest();
}

void KeepAwake::workStarted()
{
    if (std::exchange(m_held, true))
        return;
    m_inhibitor.hold(why, [self = QPointer(this)](const QString &whyNot) {
        if (self)
            self->refused(whyNot);
    });
}

void KeepAwake::cameToRest()
{
    if (std::exchange(m_held, false))
        m_inhibitor.release();
}

void KeepAwake::refused(const QString &whyNot)
{
    if (!std::exchange(m_warned, true))
        emit unavailable(QStringLiteral("无法阻止系统休眠: %1。下载照常进行, 但系统空闲时可能休眠").arg(whyNot));
}
