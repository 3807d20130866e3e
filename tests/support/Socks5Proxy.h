// SPDX-License-Identifier: MIT
#pragma once

#include "tests/support/LoopbackProxy.h"

#include <string>

/**
 * A SOCKS5 proxy (RFC 1928) with user and password (RFC 1929) when given them: it connects to
 * the IPv4 address or host name asked for (any name means 127.0.0.1), then relays.
 */
class Socks5Proxy final : public LoopbackProxy
{
public:
    Socks5Proxy(std::string user = {}, std::string password = {})
        : m_user(std::move(user))
        , m_password(std::move(password))
    {
        start();
    }

private:
    void serve(int client) override
    {
        unsigned char head[2];
        if (!readExactly(client, head, 2) || head[0] != 5)
            return;
        std::string methods(head[1], '\0');
        if (!readExactly(client, methods.data(), methods.size()))
            return;
        const char wanted = m_user.empty() ? 0 : 2;
        if (methods.find(wanted) == std::string::npos) {
            sendAll(client, std::string("\x05\xff", 2));
            return;
        }
        sendAll(client, std::string{'\x05', wanted});
        if (wanted == 2) {
            const std::string user = counted(client, true);
            const std::string password = counted(client, false);
            sawCredentials(user + ':' + password);
            const bool accepted = user == m_user && password == m_password;
            sendAll(client, std::string{'\x01', accepted ? '\x00' : '\x01'});
            if (!accepted)
                return;
        }
        unsigned char request[4];
        if (!readExactly(client, request, 4) || request[0] != 5 || request[1] != 1)
            return;
        std::string host;
        if (request[3] == 1) {
            unsigned char address[4];
            if (!readExactly(client, address, 4))
                return;
            host = std::to_string(address[0]) + '.' + std::to_string(address[1]) + '.' + std::to_string(address[2])
                + '.' + std::to_string(address[3]);
        } else if (request[3] == 3) {
            host = counted(client, false);
        } else {
            return;
        }
        unsigned char port[2];
        if (!readExactly(client, port, 2))
            return;
        const std::uint16_t targetPort = std::uint16_t(port[0] << 8 | port[1]);
        sawTarget(host + ':' + std::to_string(targetPort));
        const int target = connectTo(targetPort);
        const char reply[10] = {5, char(target >= 0 ? 0 : 5), 0, 1, 0, 0, 0, 0, 0, 0};
        sendAll(client, reply, sizeof reply);
        if (target < 0)
            return;
        relay(client, target);
        ::close(target);
    }

    /** A string behind its one-byte length; the first one of the user and password step has a version before it. */
    std::string counted(int client, bool afterVersion)
    {
        unsigned char length[2];
        const std::size_t skip = afterVersion ? 1 : 0;
        if (!readExactly(client, length, 1 + skip))
            return {};
        std::string text(length[skip], '\0');
        return readExactly(client, text.data(), text.size()) ? text : std::string();
    }

    std::string m_user;
    std::string m_password;
};
