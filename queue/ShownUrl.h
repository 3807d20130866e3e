// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/**
 * A URL as a list shows it to a person: its password masked as shownText masks it, and its
 * percent-escapes of UTF-8 characters decoded ("%E4%B8%AD" as "中"). An escape stays as written
 * where its character would not be seen or would mislead: blanks, controls, formatting marks,
 * and bytes that are not UTF-8. Only for showing; the URL itself goes to the server as given.
 * Pure function; any thread.
 */
QString shownUrl(const QString &url);
