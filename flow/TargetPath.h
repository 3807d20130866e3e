// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Where a fetched file goes. A page decides the file URL, so nothing in it may steer the file
// outside the save folder. Pure functions; any thread.

/**
 * The file name for a direct file URL: the last segment of its path without query or fragment,
 * percent-decoded; "/", NUL and control characters become "_"; an empty name, "." or ".."
 * becomes "download".
 */
QString fileNameFromUrl(const QString &fileUrl);

/**
 * folder and name joined by exactly one separator; an empty folder means defaultFolder, never the
 * root of the file system.
 */
QString targetPath(const QString &folder, const QString &name, const QString &defaultFolder);
