// SPDX-License-Identifier: MIT
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

/**
 * The part every test proxy shares: a listener on 127.0.0.1 and an ephemeral port, served one
 * connection at a time on its own thread, and what the proxy saw (the targets asked for, the
 * credentials offered). Every wait has a limit, and the destructor stops and joins the thread,
 * so a test cannot hang on it or leave it running. A subclass calls start() once it is built.
 */
class LoopbackProxy
{
public:
    LoopbackProxy(const LoopbackProxy &) = delete;
    LoopbackProxy &operator=(const LoopbackProxy &) = delete;
    virtual ~LoopbackProxy()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_listener);
    }

    int port() const { return m_port; }
    /** "host:port/path" or "host:port" of every request the proxy was asked to pass on, in order. */
    std::vector<std::string> targets() const
    {
        std::lock_guard lock(m_mutex);
        return m_targets;
    }
    /** "user:password" as each client offered them. */
    std::vector<std::string> credentials() const
    {
        std::lock_guard lock(m_mutex);
        return m_credentials;
    }

protected:
    LoopbackProxy()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), length) != 0
            || ::listen(m_listener, 8) != 0
            || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            throw std::runtime_error("test proxy could not listen");
        m_port = ntohs(address.sin_port);
    }

    void start()
    {
        m_thread = std::thread([this] {
            while (!m_stop) {
                pollfd waiting{m_listener, POLLIN, 0};
                if (::poll(&waiting, 1, 50) <= 0)
                    continue;
                const int client = ::accept(m_listener, nullptr, nullptr);
                if (client < 0)
                    continue;
                serve(client);
                ::close(client);
            }
        });
    }

    /** Talks to one client until it is done with it. */
    virtual void serve(int client) = 0;

    void sawTarget(const std::string &target)
    {
        std::lock_guard lock(m_mutex);
        m_targets.push_back(target);
    }
    void sawCredentials(const std::string &credentials)
    {
        std::lock_guard lock(m_mutex);
        if (!credentials.empty())
            m_credentials.push_back(credentials);
    }

    /** Exactly count bytes, or false once the peer is gone, silent for 5 s, or the proxy stops. */
    bool readExactly(int fd, void *into, std::size_t count)
    {
        auto *at = static_cast<char *>(into);
        while (count > 0) {
            if (!readable(fd))
                return false;
            const ssize_t got = ::recv(fd, at, count, 0);
            if (got <= 0)
                return false;
            at += got;
            count -= std::size_t(got);
        }
        return true;
    }

    static bool sendAll(int fd, const std::string &bytes) { return sendAll(fd, bytes.data(), bytes.size()); }
    static bool sendAll(int fd, const char *bytes, std::size_t count)
    {
        while (count > 0) {
            const ssize_t sent = ::send(fd, bytes, count, MSG_NOSIGNAL);
            if (sent <= 0)
                return false;
            bytes += sent;
            count -= std::size_t(sent);
        }
        return true;
    }

    /** A connection to 127.0.0.1:port, or -1: the tests' servers are all on loopback. */
    static int connectTo(std::uint16_t port)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0)
            return fd;
        if (fd >= 0)
            ::close(fd);
        return -1;
    }

    /** Passes bytes both ways until either side closes. */
    void relay(int a, int b)
    {
        std::vector<char> buffer(64 * 1024);
        while (!m_stop) {
            pollfd both[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
            const int ready = ::poll(both, 2, 5000);
            if (ready <= 0)
                return;
            for (int i = 0; i < 2; ++i) {
                if (!(both[i].revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                const ssize_t got = ::recv(both[i].fd, buffer.data(), buffer.size(), 0);
                if (got <= 0 || !sendAll(both[1 - i].fd, buffer.data(), std::size_t(got)))
                    return;
            }
        }
    }

private:
    bool readable(int fd)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!m_stop && std::chrono::steady_clock::now() < deadline) {
            pollfd waiting{fd, POLLIN, 0};
            if (::poll(&waiting, 1, 50) > 0)
                return true;
        }
        return false;
    }

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_targets;
    std::vector<std::string> m_credentials;
};
