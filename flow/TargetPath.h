// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Where a fetched file goes. A page decides the file URL, so nothing in it may steer the file
// outside the save folder. Pure functions; any thread.

/**
 * The file name for a direct file URL: the last segment of its path without query or fragment,
 * percent-decoded; "/" and the control and bidirectional characters of isControlOrBidiMark
 * become "_"; an empty name, "." or ".." becomes "download".
 */
QString fileNameFromUrl(const QString &fileUrl);

/**
 * The file name for a file whose answer suggested suggestedName (its Content-Disposition): the
 * last segment after "/" or "\\", the characters of isControlOrBidiMark as "_"; when that leaves
 * nothing, ".", or "..", or nothing was suggested, fileNameFromUrl(fileUrl).
 */
QString fileNameFromOffer(const QString &suggestedName, const QString &fileUrl);

/**
 * name, or when its UTF-8 form is longer than maxBytes (the file system would refuse it) a
 * shortened name that fits: the start of the name cut on a character boundary, "~" and eight
 * hex digits of the whole name's SHA-1 (so that long names differing only near their end stay
 * apart, and the same name is always shortened alike), then the extension (from the last ".",
 * when it is at most 32 bytes).
 */
QString fitFileName(const QString &name, qsizetype maxBytes);

/**
 * folder and name joined by exactly one separator; an empty folder means defaultFolder, never the
 * root of the file system.
 */
QString targetPath(const QString &folder, const QString &name, const QString &defaultFolder);
