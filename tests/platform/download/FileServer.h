// SPDX-License-Identifier: MIT
#pragma once

#include "tests/support/LoopbackServer.h"

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

/**
 * A loopback HTTP server with the routes the transfer tests fetch:
 *   /file/N       N bytes of pattern() with a Content-Length
 *   /chunked/N    the same without a length (chunked)
 *   /slow/N       N bytes with a length, 4 KiB every 5 ms
 *   /reset/N      a length of N, but the connection drops after N/4 bytes
 *   /stall        headers with a length of 1000, then nothing until the server goes away
 *   /status/S     an error page with status S
 *   /redirect/N   302 to /file/N;  /redirect-ftp  302 to an ftp:// address
 *   /set-cookie   sets the cookie "token=quorvel42"
 *   /needs-cookie 64 bytes when that cookie comes with the request, else 403
 * Routes that wait give up when the server is destroyed, so a test never hangs on them.
 */
class FileServer
{
public:
    FileServer()
    {
        auto &server = m_loopback.server();
        server.Get(R"(/file/(\d+))", [](const httplib::Request &request, httplib::Response &response) {
            response.set_content(slice(0, sizeOf(request)), "application/octet-stream");
        });
        server.Get(R"(/chunked/(\d+))", [](const httplib::Request &request, httplib::Response &response) {
            const auto size = sizeOf(request);
            response.set_chunked_content_provider("application/octet-stream",
                [size](std::size_t offset, httplib::DataSink &sink) {
                    const auto piece = std::min<std::size_t>(size - offset, 8192);
                    if (piece > 0)
                        return writeSlice(sink, offset, piece);
                    sink.done();
                    return true;
                });
        });
        server.Get(R"(/slow/(\d+))", [this](const httplib::Request &request, httplib::Response &response) {
            streamSlowly(response, sizeOf(request), sizeOf(request));
        });
        server.Get(R"(/reset/(\d+))", [this](const httplib::Request &request, httplib::Response &response) {
            streamSlowly(response, sizeOf(request), sizeOf(request) / 4);
        });
        server.Get("/stall", [this](const httplib::Request &, httplib::Response &response) {
            // Silent from the start: libcurl averages the speed over several seconds, so bytes
            // sent before the stall would only delay its detection.
            response.set_content_provider(1000, "application/octet-stream",
                [this](std::size_t, std::size_t, httplib::DataSink &sink) {
                    waitUntilReleased(std::chrono::seconds(20));
                    return writeSlice(sink, 0, 1000);
                });
        });
        server.Get(R"(/status/(\d+))", [](const httplib::Request &request, httplib::Response &response) {
            response.status = int(sizeOf(request));
            response.set_content("error page", "text/plain");
        });
        server.Get(R"(/redirect/(\d+))", [](const httplib::Request &request, httplib::Response &response) {
            response.set_redirect("/file/" + request.matches[1].str());
        });
        server.Get("/redirect-ftp", [](const httplib::Request &, httplib::Response &response) {
            response.set_redirect("ftp://127.0.0.1/file");
        });
        server.Get("/set-cookie", [](const httplib::Request &, httplib::Response &response) {
            response.set_header("Set-Cookie", "token=quorvel42; Path=/");
            response.set_content("ok", "text/plain");
        });
        server.Get("/needs-cookie", [](const httplib::Request &request, httplib::Response &response) {
            if (request.get_header_value("Cookie").find("token=quorvel42") == std::string::npos) {
                response.status = 403;
                return;
            }
            response.set_content(slice(0, 64), "application/octet-stream");
        });
        m_loopback.start();
    }

    ~FileServer()
    {
        m_released = true;
        m_loopback.stop();
    }

    std::string url(const std::string &path) const { return m_loopback.url(path); }

    /** The first size bytes of the content every route serves. */
    static QByteArray pattern(std::size_t size) { return QByteArray::fromStdString(slice(0, size)); }

private:
    static std::string slice(std::size_t offset, std::size_t size)
    {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = char(((offset + i) * 31 + (offset + i) / 251) & 0xff);
        return bytes;
    }

    static bool writeSlice(httplib::DataSink &sink, std::size_t offset, std::size_t size)
    {
        const auto bytes = slice(offset, size);
        return sink.write(bytes.data(), bytes.size());
    }

    static std::size_t sizeOf(const httplib::Request &request) { return std::stoul(request.matches[1].str()); }

    void streamSlowly(httplib::Response &response, std::size_t length, std::size_t sendOnly)
    {
        response.set_content_provider(length, "application/octet-stream",
            [this, sendOnly](std::size_t offset, std::size_t, httplib::DataSink &sink) {
                if (offset >= sendOnly || m_released)
                    return false;
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                const auto piece = std::min<std::size_t>(sendOnly - offset, 4096);
                return writeSlice(sink, offset, piece);
            });
    }

    void waitUntilReleased(std::chrono::seconds limit) const
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!m_released && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    std::atomic<bool> m_released{false};
    LoopbackServer m_loopback;
};
