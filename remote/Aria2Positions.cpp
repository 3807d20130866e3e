// SPDX-License-Identifier: MIT
#include "remote/Aria2Positions.h"

#include <algorithm>

QList<qsizetype> pageIndexes(qsizetype size, qint64 offset, qint64 count)
{
    QList<qsizetype> indexes;
    if (offset >= 0) {
        for (qint64 i = offset; i < size && i - offset < count; ++i)
            indexes.append(qsizetype(i));
        return indexes;
    }
    for (qint64 i = size + offset; i >= 0 && (size + offset) - i < count; --i) {
        if (i < size)
            indexes.append(qsizetype(i));
    }
    return indexes;
}

std::optional<qsizetype> movedPosition(qsizetype current, qsizetype size, qint64 pos, const QString &how)
{
    qint64 target = 0;
    if (how == QLatin1String("POS_SET"))
        target = pos;
    else if (how == QLatin1String("POS_CUR"))
        target = qint64(current) + pos;
    else if (how == QLatin1String("POS_END"))
        target = qint64(size) - 1 + pos;
    else
        return std::nullopt;
    return qsizetype(std::clamp<qint64>(target, 0, std::max<qint64>(0, size - 1)));
}
