// SPDX-License-Identifier: MIT
#pragma once

#include <httplib.h>

#include <optional>
#include <string>
#include <string_view>

// The parts of a request as the client wrote them. The server's own path is decoded, which would
// lose the difference between "a%2Fb" and "a/b" and change the names of files.

/** The target's path, undecoded. */
std::string rawPath(const httplib::Request &request);
/** The target's query without "?", undecoded; "" when there is none. */
std::string rawQuery(const httplib::Request &request);
/** The single path segment after prefix, made safe (see safeSegment), or nothing when there is none. */
std::optional<std::string> nameAfter(std::string_view path, std::string_view prefix);
/** The value of the cookie called name, "" when the request does not send it. */
std::string cookieValue(const httplib::Request &request, std::string_view name);
