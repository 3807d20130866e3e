// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/**
 * The number-th name beside target for when target's name is taken, the way desktop browsers
 * name a second download of a file: `data.bin`, `data (1).bin`, `data (2).bin`; a name with
 * no extension, or a dot file, gets the number at its end (`README (1)`, `.profile (1)`). Its
 * start is cut on a character boundary where the number would make it longer than
 * maxNameBytes of UTF-8. number 0 is target itself. Pure; any thread.
 */
QString nameBeside(const QString &target, int number, qsizetype maxNameBytes);
