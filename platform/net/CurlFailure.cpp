// SPDX-License-Identifier: MIT
#include "platform/net/CurlFailure.h"

#include <algorithm>

FailureCause malformedAnswerCause()
{
    return FailureCause::transient(QStringLiteral("服务器应答格式错误"));
}

FailureCause proxyRefusedCause()
{
    return FailureCause::transient(QStringLiteral("代理服务器拒绝请求"));
}

FailureCause curlFailureCause(CURLcode code, std::string_view errorText, bool throughProxy)
{
    // libcurl reports a broken chunked body as a receive error, naming the encoding in its text.
    if (code == CURLE_RECV_ERROR && errorText.find("chunked-encoding") != std::string_view::npos)
        return malformedAnswerCause();
    // An HTTP proxy that answers CONNECT with an error status ends the request the same way.
    if (code == CURLE_RECV_ERROR && errorText.find("CONNECT tunnel failed") != std::string_view::npos)
        return proxyRefusedCause();
    switch (code) {
    case CURLE_COULDNT_CONNECT:
        return FailureCause::transient(throughProxy ? QStringLiteral("无法连接代理服务器")
                                                    : QStringLiteral("连接被拒绝"));
    case CURLE_PROXY:
        return proxyRefusedCause();
    case CURLE_COULDNT_RESOLVE_PROXY:
        return FailureCause::transient(QStringLiteral("无法解析代理服务器名"));
    case CURLE_OPERATION_TIMEDOUT:
        return FailureCause::transient(QStringLiteral("超时"));
    case CURLE_COULDNT_RESOLVE_HOST:
        return FailureCause::transient(QStringLiteral("无法解析主机名"));
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    case CURLE_SSL_CONNECT_ERROR:
        return FailureCause::transient(QStringLiteral("连接被重置"));
    case CURLE_UNSUPPORTED_PROTOCOL:
        return FailureCause::permanent(QStringLiteral("不支持的网址协议"));
    case CURLE_URL_MALFORMAT:
        return FailureCause::permanent(QStringLiteral("网址格式错误"));
    case CURLE_TOO_MANY_REDIRECTS:
        return FailureCause::permanent(QStringLiteral("重定向过多"));
    case CURLE_PEER_FAILED_VERIFICATION:
        return FailureCause::permanent(QStringLiteral("证书无效"));
    default:
        return FailureCause::permanent(QString::fromUtf8(curl_easy_strerror(code)));
    }
}

std::optional<int> curlRetryAfterSeconds(CURL *easy)
{
    // libcurl reads both forms of the header and gives seconds from now.
    curl_off_t seconds = 0;
    if (curl_easy_getinfo(easy, CURLINFO_RETRY_AFTER, &seconds) != CURLE_OK || seconds <= 0)
        return std::nullopt;
    return int(std::min<curl_off_t>(seconds, 24 * 3600));
}
