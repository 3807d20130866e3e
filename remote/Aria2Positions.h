// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

#include <optional>

// How aria2 counts places in its lists, for the methods that page through them or move in them.
// Pure functions; any thread.

/**
 * The indexes of a list of size items that tellWaiting and tellStopped answer for offset and
 * count: from offset on, forwards; a negative offset counts from the end (-1 is the last item)
 * and goes backwards, as aria2 reads it.
 */
QList<qsizetype> pageIndexes(qsizetype size, qint64 offset, qint64 count);

/**
 * Where changePosition puts an item now at current in a list of size items: how is "POS_SET"
 * (from the start), "POS_CUR" (from current) or "POS_END" (from the end), the result clamped
 * into the list. None for any other how.
 */
std::optional<qsizetype> movedPosition(qsizetype current, qsizetype size, qint64 pos, const QString &how);
