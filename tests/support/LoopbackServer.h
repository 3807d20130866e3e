// SPDX-License-Identifier: MIT
#pragma once

#include <httplib.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

/**
 * An HTTP server on 127.0.0.1 and an ephemeral port, running on its own thread for the life of
 * the object: register handlers on server() before start(), then talk to url(). The destructor
 * stops it and joins the thread, so a test cannot leave it running.
 */
class LoopbackServer
{
public:
    LoopbackServer() = default;
    ~LoopbackServer() { stop(); }
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    httplib::Server &server() { return m_server; }

    void start()
    {
        m_port = m_server.bind_to_any_port("127.0.0.1");
        if (m_port <= 0)
            throw std::runtime_error("loopback server could not bind");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!m_server.is_running()) {
            if (std::chrono::steady_clock::now() > deadline)
                throw std::runtime_error("loopback server did not start");
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    void stop()
    {
        if (m_thread.joinable()) {
            m_server.stop();
            m_thread.join();
        }
    }

    int port() const { return m_port; }
    /** http://127.0.0.1:port followed by path (which starts with "/"). */
    std::string url(const std::string &path = "/") const
    {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};
