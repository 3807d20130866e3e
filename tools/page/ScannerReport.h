// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

/**
 * What each page scanner makes of a page body, one line per scanner, for people checking a
 * host's page by hand. Every scanner starts from the state of a fresh run, so a line does not
 * depend on the scanners before it. Pure; any thread.
 */
class ScannerReport final
{
public:
    static QStringList describe(const QString &bodyHtml);
};
