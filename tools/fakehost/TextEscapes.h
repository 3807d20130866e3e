// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

/** text with the five characters that HTML gives a meaning to written as entities. */
std::string htmlEscape(std::string_view text);

/**
 * A URL path segment as a client sent it, with every byte that is not safe both in a URL and in a
 * double-quoted HTML attribute percent-encoded. Valid percent escapes stay as written, so a name
 * such as "report%20v2.zip" comes out unchanged and a downloader that names files after the URL's
 * last segment gets the same name the page URL had.
 */
std::string safeSegment(std::string_view segment);

/** segment with its percent escapes decoded, for showing a name to a reader. */
std::string percentDecode(std::string_view segment);
