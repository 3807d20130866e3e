// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/** The caption of the main window and of every message box the program shows. */
inline QString appTitle()
{
    return QStringLiteral("Quorvel V.1.1");
}

/**
 * The error box's message for an error text: a full stop is appended when the last character
 * sorts after ".", so a sentence gets its stop while a text ending in ")" or "." stays as it is.
 */
inline QString errorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}
