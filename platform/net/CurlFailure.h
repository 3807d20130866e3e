// SPDX-License-Identifier: MIT
#pragma once

#include "common/FailureCause.h"

#include <curl/curl.h>

#include <optional>
#include <string_view>

/**
 * What a failed libcurl request means for trying again: refused, reset, timed-out and unresolved
 * connections, a TLS handshake or HTTP/2 stream cut short, stalls and malformed bodies may pass;
 * a scheme we do not fetch, a certificate that does not verify and the like will not. errorText
 * is libcurl's error buffer, which alone tells a broken chunked body from a lost connection. The
 * reason is a few words for the status bar. A proxy that cannot be resolved or that refuses
 * the request is said to be the proxy's; a connection refused is said to be the proxy's when
 * throughProxy, the request having named one. Pure; any thread.
 */
FailureCause curlFailureCause(CURLcode code, std::string_view errorText = {}, bool throughProxy = false);

/**
 * The proxy would not carry the request: a SOCKS refusal, an HTTP proxy's 407 or an error answer
 * to CONNECT. The user may mend its credentials while the entry waits, so it may pass.
 */
FailureCause proxyRefusedCause();

/** The server's answer broke HTTP or contradicted itself (a bad chunk size, a range past its end). */
FailureCause malformedAnswerCause();

/**
 * The Retry-After of the response just received on easy, in seconds (delay-seconds or an
 * HTTP date), when it sent one that can be read. Call it after curl_easy_perform.
 */
std::optional<int> curlRetryAfterSeconds(CURL *easy);
