// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <ostream>

// Lets GoogleTest show QStrings in failure messages (found through argument-dependent lookup).
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
