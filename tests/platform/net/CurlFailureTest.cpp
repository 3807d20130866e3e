// SPDX-License-Identifier: MIT
#include "platform/net/CurlFailure.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {
using Kind = FailureCause::Kind;

struct CodeRow
{
    CURLcode code;
    Kind kind;
    const char *reason;
    /** libcurl's error buffer for the request. */
    const char *errorText = "";
};

void PrintTo(const CodeRow &row, std::ostream *out)
{
    *out << curl_easy_strerror(row.code);
}

class CurlFailureCauseTest : public ::testing::TestWithParam<CodeRow>
{
};

TEST_P(CurlFailureCauseTest, SaysWhetherWaitingMayHelp)
{
    const FailureCause cause = curlFailureCause(GetParam().code, GetParam().errorText);
    EXPECT_EQ(cause.kind, GetParam().kind);
    EXPECT_EQ(cause.reason, QString::fromUtf8(GetParam().reason));
    EXPECT_EQ(cause.httpStatus, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CurlFailureCauseTest,
    ::testing::Values(CodeRow{CURLE_COULDNT_CONNECT, Kind::Transient, "连接被拒绝"},
                      CodeRow{CURLE_OPERATION_TIMEDOUT, Kind::Transient, "超时"},
                      CodeRow{CURLE_COULDNT_RESOLVE_HOST, Kind::Transient, "无法解析主机名"},
                      CodeRow{CURLE_RECV_ERROR, Kind::Transient, "连接被重置"},
                      CodeRow{CURLE_SEND_ERROR, Kind::Transient, "连接被重置"},
                      CodeRow{CURLE_GOT_NOTHING, Kind::Transient, "连接被重置"},
                      CodeRow{CURLE_PARTIAL_FILE, Kind::Transient, "连接被重置"},
                      // A busy host that cuts the TLS handshake or an HTTP/2 stream is no bad certificate.
                      CodeRow{CURLE_SSL_CONNECT_ERROR, Kind::Transient, "连接被重置",
                              "OpenSSL SSL_connect: SSL_ERROR_SYSCALL in connection to example.com:443"},
                      CodeRow{CURLE_HTTP2, Kind::Transient, "连接被重置"},
                      CodeRow{CURLE_HTTP2_STREAM, Kind::Transient, "连接被重置"},
                      CodeRow{CURLE_RECV_ERROR, Kind::Transient, "服务器应答格式错误",
                              "Illegal or missing hexadecimal sequence in chunked-encoding"},
                      CodeRow{CURLE_UNSUPPORTED_PROTOCOL, Kind::Permanent, "不支持的网址协议"},
                      CodeRow{CURLE_URL_MALFORMAT, Kind::Permanent, "网址格式错误"},
                      CodeRow{CURLE_TOO_MANY_REDIRECTS, Kind::Permanent, "重定向过多"},
                      CodeRow{CURLE_PEER_FAILED_VERIFICATION, Kind::Permanent, "证书无效"},
                      CodeRow{CURLE_BAD_CONTENT_ENCODING, Kind::Permanent,
                              curl_easy_strerror(CURLE_BAD_CONTENT_ENCODING)}));
} // namespace
