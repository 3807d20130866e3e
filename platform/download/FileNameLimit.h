// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/**
 * The longest file name, in bytes of UTF-8, that the file system holding folder takes: its
 * NAME_MAX, but at most 255, the limit of the common Linux file systems and the one used when
 * the folder cannot be asked (it does not exist yet). Any thread.
 */
qsizetype fileNameLimit(const QString &folder);
