// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QDBusError;

/** logind's answers in words for the user, who reads Chinese and should not need D-Bus names. */
namespace LogindAnswers {
/** Why a call to logind did not go through: the error's meaning, then its own message. */
QString refusal(const QDBusError &error);
/** Why a forced power-off would not happen, from CanPowerOff's answer; empty when it would. */
QString powerOffAbility(const QString &canPowerOff);
} // namespace LogindAnswers
