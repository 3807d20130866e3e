// SPDX-License-Identifier: MIT
#include "tools/fakehost/FileStream.h"

#include <algorithm>
#include <thread>

namespace {

constexpr std::uint64_t largestChunk = 64 * 1024;
// A rate-limited body goes out in about twenty pieces a second, so that its pace looks steady
// to a progress display.
constexpr std::uint64_t chunksPerSecond = 20;
// How long a paced sleep may go without looking whether the host is shutting down.
constexpr auto longestNap = std::chrono::milliseconds(50);

std::uint64_t chunkSize(std::uint64_t rate)
{
    if (rate == 0)
        return largestChunk;
    return std::clamp<std::uint64_t>(rate / chunksPerSecond, 1, largestChunk);
}

} // namespace

FileStream::FileStream(FileContent content, std::uint64_t rate, std::uint64_t cutAt,
                       const std::atomic<bool> &stopping)
    : m_content(content)
    , m_rate(rate)
    , m_cutAt(cutAt)
    , m_stopping(stopping)
    , m_buffer(chunkSize(rate))
{
}

bool FileStream::write(std::uint64_t offset, std::uint64_t maxLength, httplib::DataSink &sink)
{
    if (m_sent == 0)
        m_start = std::chrono::steady_clock::now();
    if (offset >= m_cutAt || !keepPace())
        return false;
    const auto length = static_cast<std::size_t>(
        std::min<std::uint64_t>({m_buffer.size(), maxLength, m_cutAt - offset}));
    m_content.fill(offset, m_buffer.data(), length);
    if (!sink.write(m_buffer.data(), length))
        return false;
    m_sent += length;
    return true;
}

bool FileStream::writeOrFinish(std::uint64_t offset, httplib::DataSink &sink)
{
    if (offset >= m_content.size()) {
        sink.done();
        return true;
    }
    return write(offset, m_content.size() - offset, sink);
}

bool FileStream::keepPace()
{
    if (m_rate == 0)
        return !m_stopping;
    const auto due = m_start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                   std::chrono::duration<double>(static_cast<double>(m_sent) / m_rate));
    while (!m_stopping) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= due)
            return true;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(due - now, longestNap));
    }
    return false;
}
