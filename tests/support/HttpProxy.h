// SPDX-License-Identifier: MIT
#pragma once

#include "tests/support/LoopbackProxy.h"

#include <QByteArray>

#include <string>

/**
 * An HTTP forward proxy for http:// targets on loopback: it takes a request in absolute form,
 * asks for Basic credentials with 407 when given some, passes the request on with
 * "Connection: close" and relays the answer. One request per connection.
 */
class HttpProxy final : public LoopbackProxy
{
public:
    HttpProxy(std::string user = {}, std::string password = {})
        : m_user(std::move(user))
        , m_password(std::move(password))
    {
        start();
    }

private:
    void serve(int client) override
    {
        std::string head;
        char byte = 0;
        while (head.size() < 64 * 1024 && head.find("\r\n\r\n") == std::string::npos) {
            if (!readExactly(client, &byte, 1))
                return;
            head += byte;
        }
        const std::size_t lineEnd = head.find("\r\n");
        const std::string line = head.substr(0, lineEnd);
        const std::size_t urlStart = line.find(" http://");
        const std::size_t urlEnd = line.rfind(' ');
        if (urlStart == std::string::npos || urlEnd <= urlStart)
            return;
        const std::string url = line.substr(urlStart + 8, urlEnd - urlStart - 8);
        const std::size_t pathStart = url.find('/');
        const std::string authority = url.substr(0, pathStart);
        const std::string offered = credentialsIn(head);
        sawTarget(url);
        sawCredentials(offered);
        if (!m_user.empty() && offered != m_user + ':' + m_password) {
            sendAll(client,
                    "HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic realm=\"test\"\r\n"
                    "Content-Length: 0\r\nConnection: close\r\n\r\n");
            return;
        }
        const int target = connectTo(std::uint16_t(std::stoi(authority.substr(authority.rfind(':') + 1))));
        if (target < 0) {
            sendAll(client, "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            return;
        }
        std::string forwarded = line.substr(0, urlStart + 1) + url.substr(pathStart) + line.substr(urlEnd) + "\r\n";
        for (std::size_t at = lineEnd + 2; at < head.size() - 2;) {
            const std::size_t end = head.find("\r\n", at);
            const std::string header = head.substr(at, end - at);
            if (!startsWithName(header, "proxy-") && !startsWithName(header, "connection"))
                forwarded += header + "\r\n";
            at = end + 2;
        }
        forwarded += "Connection: close\r\n\r\n";
        if (sendAll(target, forwarded))
            relay(client, target);
        ::close(target);
    }

    static bool startsWithName(const std::string &header, const std::string &lowerName)
    {
        return QByteArray::fromStdString(header.substr(0, lowerName.size())).toLower().toStdString() == lowerName;
    }

    static std::string credentialsIn(const std::string &head)
    {
        const QByteArray lower = QByteArray::fromStdString(head).toLower();
        const qsizetype at = lower.indexOf("\r\nproxy-authorization: basic ");
        if (at < 0)
            return {};
        const qsizetype start = at + qsizetype(sizeof "\r\nproxy-authorization: basic ") - 1;
        const qsizetype end = lower.indexOf("\r\n", start);
        return QByteArray::fromBase64(QByteArray::fromStdString(head.substr(start, end - start))).toStdString();
    }

    std::string m_user;
    std::string m_password;
};
