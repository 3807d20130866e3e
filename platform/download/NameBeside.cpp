// SPDX-License-Identifier: MIT
#include "platform/download/NameBeside.h"

QString nameBeside(const QString &target, int number, qsizetype maxNameBytes)
{
    if (number == 0)
        return target;
    const qsizetype nameStart = target.lastIndexOf(u'/') + 1;
    const qsizetype dot = target.lastIndexOf(u'.');
    // A dot that starts the name makes a dot file, not an extension.
    const qsizetype stemEnd = dot > nameStart ? dot : target.size();
    QString stem = target.sliced(nameStart, stemEnd - nameStart);
    const QString tail = QStringLiteral(" (%1)").arg(number) + target.sliced(stemEnd);
    while (stem.size() > 1 && (stem + tail).toUtf8().size() > maxNameBytes)
        stem.chop(stem.back().isLowSurrogate() ? 2 : 1);
    return target.first(nameStart) + stem + tail;
}
