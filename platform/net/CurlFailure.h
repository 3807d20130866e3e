// SPDX-License-Identifier: MIT
#pragma once

#include "common/FailureCause.h"

#include <curl/curl.h>

#include <optional>

/**
 * What a failed libcurl request means for trying again: refused, reset, timed-out and unresolved
 * connections and stalls may pass; a scheme we do not fetch, bad TLS and the like will not.
 * The reason is a few words for the status bar. Pure; any thread.
 */
FailureCause curlFailureCause(CURLcode code);

/**
 * The Retry-After of the response just received on easy, in seconds (delay-seconds or an
 * HTTP date), when it sent one that can be read. Call it after curl_easy_perform.
 */
std::optional<int> curlRetryAfterSeconds(CURL *easy);
