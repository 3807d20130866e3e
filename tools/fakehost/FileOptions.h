// SPDX-License-Identifier: MIT
#pragma once

#include "tools/fakehost/HostDefaults.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

/** How the file URL breaks, for testing a downloader's handling of failed transfers. */
enum class FailMode { none, resetOnce, resetAlways, notFound };

/**
 * How the host treats one file, read from the query of its page URL over the host's defaults.
 * Carrying these in the URL lets one running host serve a whole queue of differently behaved files.
 */
struct FileOptions final
{
    std::uint64_t size = 0;
    unsigned countdown = 0;
    std::optional<unsigned> waitMinutes;
    std::optional<unsigned> aboutMinutes;
    bool missing = false;
    bool frames = false;
    bool noLength = false;
    FailMode fail = FailMode::none;
    std::uint64_t rate = 0;
    /** For a direct link: the names its Content-Disposition gives (filename, filename*), and its type. */
    std::string dispositionName;
    std::string dispositionUtf8Name;
    std::string type;

    /**
     * query: the URL's query without "?". Only the query counts, never a form body, so that what
     * a page button posts cannot change the file. Throws std::invalid_argument naming an unknown
     * parameter or a bad value.
     */
    static FileOptions fromQuery(std::string_view query, const HostDefaults &defaults);

    /** A query (without "?") that fromQuery reads back to these options whatever the defaults. */
    std::string toQuery() const;
};
