// SPDX-License-Identifier: MIT
#pragma once

#include <httplib.h>

#include <string>

/**
 * A client of the fake host that keeps its session cookie by hand, as a browser would, and takes
 * the absolute addresses the pages hold.
 */
class HostClient final
{
public:
    explicit HostClient(int port) : m_client("127.0.0.1", port) {}

    httplib::Result get(const std::string &url) { return keep(m_client.Get(pathOf(url), headers())); }
    /** What a click on a form's submit button sends. */
    httplib::Result post(const std::string &url)
    {
        return keep(m_client.Post(pathOf(url), headers(), "dl.start=Free+user", "application/x-www-form-urlencoded"));
    }
    /** Receives a body piece by piece, so that a body cut off halfway still shows what came. */
    httplib::Result getInto(const std::string &url, std::string &body)
    {
        return m_client.Get(pathOf(url), headers(), [&body](const char *data, size_t length) {
            body.append(data, length);
            return true;
        });
    }

    void forgetCookie() { m_cookie.clear(); }

    /** The path and query of an absolute address, or the text itself when it is one already. */
    static std::string pathOf(const std::string &url)
    {
        const std::size_t scheme = url.find("://");
        return scheme == std::string::npos ? url : url.substr(url.find('/', scheme + 3));
    }

private:
    httplib::Headers headers() const
    {
        return m_cookie.empty() ? httplib::Headers{} : httplib::Headers{{"Cookie", m_cookie}};
    }

    httplib::Result keep(httplib::Result result)
    {
        if (result && result->has_header("Set-Cookie")) {
            const std::string header = result->get_header_value("Set-Cookie");
            m_cookie = header.substr(0, header.find(';'));
        }
        return result;
    }

    httplib::Client m_client;
    std::string m_cookie;
};
