// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

/**
 * A made-up countdown page of about the given size: ordinary markup (paragraphs, tables, links,
 * a script, LF line breaks) with the countdown and the download form at the very end, so that
 * every scanner has to search the whole text. Pure; any thread.
 */
class PageGenerator final
{
public:
    static QByteArray countdownPage(qsizetype bytes);
};
