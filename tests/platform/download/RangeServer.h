// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

/**
 * A loopback HTTP server of one file, written on raw sockets because the answers to a range
 * request are what it is for (cpp-httplib answers a request with Range by its own rules): it can
 * cut a response after some bytes, ignore Range or If-Range, answer a range at another offset,
 * with another total, without validators, with a body longer or shorter than its range, or with
 * another status, answer a request without Range with a range, break the chunked encoding, and
 * change the file and its validator between tries. Unless told otherwise it honours If-Range as
 * a server should: a validator that no longer matches gets the whole file with 200. It records
 * what each request asked for and the body bytes it sent. One connection at a time, each closed
 * after its response; it stops when destroyed.
 */
class RangeServer
{
public:
    struct Request
    {
        std::string range;
        std::string ifRange;
    };
    struct Behaviour
    {
        QByteArray content;
        /** Sent as ETag when not empty; a weak one is W/"...". */
        std::string etag = "\"v1\"";
        std::string lastModified = "Tue, 01 Dec 2026 10:00:00 GMT";
        bool ignoresRange = false;
        /** Added to the first byte a 206 names and sends. */
        long offsetShift = 0;
        /** Added to the total a 206 names. */
        long totalShift = 0;
        /** When set, the next response's body stops after this many bytes and the connection drops. */
        std::size_t cutAfter = 0;
        /** When set, every request gets this error status and no file. */
        int failWith = 0;
        /** A range request gets its 206 whatever its If-Range says. */
        bool ignoresIfRange = false;
        /** A 206 repeats the ETag and Last-Modified of the file. */
        bool validatorsOn206 = true;
        /** A 206's body is this many bytes longer (or shorter) than its range, with no length. */
        long bodyShift = 0;
        /** When set, a range request gets this status and no body. */
        int rangeStatus = 0;
        /** When set, a request without Range gets a 206 of the file's first this many bytes. */
        std::size_t freshGetsFirst = 0;
        /** The body goes chunked, with a chunk size that is no hexadecimal number after 1000 bytes. */
        bool badChunks = false;
    };

    explicit RangeServer(Behaviour behaviour) : m_behaviour(std::move(behaviour))
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), length) != 0
            || ::listen(m_listener, 8) != 0
            || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            throw std::runtime_error("range server could not listen");
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }

    ~RangeServer()
    {
        m_stopping = true;
        m_thread.join();
        ::close(m_listener);
    }

    std::string url() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/file.bin"; }

    /** Changes what later requests get. */
    template<typename Change>
    void change(Change change)
    {
        std::lock_guard lock(m_mutex);
        change(m_behaviour);
    }
    std::vector<Request> requests() const
    {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }
    /** The body bytes of each response, in the order of the requests. */
    std::vector<std::size_t> bodyBytesSent() const
    {
        std::lock_guard lock(m_mutex);
        return m_bodyBytes;
    }

private:
    void serve()
    {
        while (!m_stopping) {
            pollfd ready{m_listener, POLLIN, 0};
            if (::poll(&ready, 1, 50) <= 0)
                continue;
            const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                continue;
            answer(client);
            ::close(client);
        }
    }

    static std::string header(const std::string &head, const std::string &name)
    {
        std::string lower = head;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        const auto at = lower.find("\r\n" + name + ":");
        if (at == std::string::npos)
            return {};
        const auto start = head.find_first_not_of(' ', at + name.size() + 3);
        return head.substr(start, head.find("\r\n", start) - start);
    }

    void answer(int client)
    {
        std::string head;
        char buffer[4096];
        while (head.find("\r\n\r\n") == std::string::npos) {
            pollfd readable{client, POLLIN, 0};
            if (m_stopping || ::poll(&readable, 1, 2000) <= 0)
                return;
            const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
            if (got <= 0)
                return;
            head.append(buffer, std::size_t(got));
        }
        std::lock_guard lock(m_mutex);
        const Request request{header(head, "range"), header(head, "if-range")};
        m_requests.push_back(request);
        const Behaviour &b = m_behaviour;
        if (b.failWith != 0) {
            m_bodyBytes.push_back(0);
            sendAll(client, "HTTP/1.1 " + std::to_string(b.failWith) + " Error\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            return;
        }
        const std::size_t size = std::size_t(b.content.size());
        std::string response;
        std::size_t first = 0;
        std::size_t end = size;
        bool partial = false;
        const bool validatorMatches = request.ifRange == b.etag || request.ifRange == b.lastModified;
        const bool rangeAsked = request.range.starts_with("bytes=") && request.range.ends_with("-");
        if (rangeAsked && b.rangeStatus != 0) {
            m_bodyBytes.push_back(0);
            sendAll(client,
                    "HTTP/1.1 " + std::to_string(b.rangeStatus) + " Refused\r\nContent-Range: bytes */"
                        + std::to_string(size) + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            return;
        }
        if (rangeAsked && (validatorMatches || b.ignoresIfRange) && !b.ignoresRange) {
            const long asked = std::stol(request.range.substr(6));
            first = std::size_t(std::clamp<long>(asked + b.offsetShift, 0, long(size)));
            partial = true;
        } else if (!rangeAsked && b.freshGetsFirst > 0) {
            end = std::min(b.freshGetsFirst, size);
            partial = true;
        }
        if (partial) {
            response = "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " + std::to_string(first) + "-"
                + std::to_string(end - 1) + "/" + std::to_string(long(size) + b.totalShift) + "\r\n";
        } else {
            response = "HTTP/1.1 200 OK\r\n";
        }
        if (!partial || b.validatorsOn206) {
            if (!b.etag.empty())
                response += "ETag: " + b.etag + "\r\n";
            if (!b.lastModified.empty())
                response += "Last-Modified: " + b.lastModified + "\r\n";
        }
        std::size_t body = end - first;
        response += "Accept-Ranges: bytes\r\nConnection: close\r\n";
        if (b.badChunks) {
            // A good first chunk, then a size line no parser can read.
            body = std::min<std::size_t>(body, 1000);
            std::ostringstream chunk;
            chunk << std::hex << body;
            response += "Transfer-Encoding: chunked\r\n\r\n" + chunk.str() + "\r\n";
            response.append(b.content.constData() + first, body);
            response += "\r\nZZZ\r\nnot a chunk\r\n0\r\n\r\n";
            m_bodyBytes.push_back(body);
            sendAll(client, response);
            return;
        }
        if (partial && b.bodyShift != 0) {
            // Without a length, only the closed connection ends the body.
            body = std::size_t(std::max<long>(0, long(body) + b.bodyShift));
            response += "\r\n";
        } else {
            response += "Content-Length: " + std::to_string(body) + "\r\n\r\n";
        }
        if (m_behaviour.cutAfter > 0) {
            body = std::min(body, m_behaviour.cutAfter);
            m_behaviour.cutAfter = 0;
        }
        // Past the file's end a longer body repeats its start: bytes, but not the file's.
        std::string bytes;
        for (std::size_t at = first; bytes.size() < body; at = 0)
            bytes.append(b.content.constData() + at, std::min<std::size_t>(size - at, body - bytes.size()));
        response += bytes;
        m_bodyBytes.push_back(body);
        sendAll(client, response);
    }

    void sendAll(int client, const std::string &bytes)
    {
        std::size_t sent = 0;
        while (sent < bytes.size() && !m_stopping) {
            const ssize_t step = ::send(client, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (step <= 0)
                return;
            sent += std::size_t(step);
        }
    }

    mutable std::mutex m_mutex;
    Behaviour m_behaviour;
    std::vector<Request> m_requests;
    std::vector<std::size_t> m_bodyBytes;
    std::atomic<bool> m_stopping{false};
    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;
};
