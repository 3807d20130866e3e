// SPDX-License-Identifier: MIT
#pragma once

#include "tools/fakehost/FileContent.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

/**
 * Feeds one response body from the file's generator, a chunk per call, so that no file is ever
 * held whole. It keeps to a byte rate, and it can end the body early, which the server turns into
 * a dropped connection: a transfer cut off halfway.
 *
 * Thread contract: one response's thread calls write(); sent() may be read by the same thread
 * once the body has ended. stopping is read from any thread.
 */
class FileStream final
{
public:
    /**
     * rate: bytes per second, 0 for no limit; cutAt: the offset at which the body breaks off
     * (content.size() for a whole body); stopping: set when the host shuts down.
     */
    FileStream(FileContent content, std::uint64_t rate, std::uint64_t cutAt, const std::atomic<bool> &stopping);

    /**
     * Writes the next bytes from offset, at most maxLength of them, into sink. False ends the
     * response without finishing it: the body was cut, the client went away or the host stops.
     */
    bool write(std::uint64_t offset, std::uint64_t maxLength, httplib::DataSink &sink);

    /** For a body sent without a length: writes the next bytes or, at the end, finishes it. */
    bool writeOrFinish(std::uint64_t offset, httplib::DataSink &sink);

    std::uint64_t sent() const { return m_sent; }

private:
    /** Sleeps until the rate allows the next chunk; false when the host stops meanwhile. */
    bool keepPace();

    FileContent m_content;
    std::uint64_t m_rate;
    std::uint64_t m_cutAt;
    const std::atomic<bool> &m_stopping;
    std::vector<char> m_buffer;
    std::uint64_t m_sent = 0;
    std::chrono::steady_clock::time_point m_start;
};
