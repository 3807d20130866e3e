// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/** The HTML of one simulated site's pages; each site words and shapes them its own way. */
class SitePages
{
public:
    virtual ~SitePages() = default;
    /** The first page, whose control leads to pressUrl. */
    virtual std::string filePage(std::string_view name, std::uint64_t size, std::string_view pressUrl,
                                 bool frames) const = 0;
    /** The countdown before the file, which comes from fileUrl. */
    virtual std::string countdownPage(std::string_view name, unsigned seconds, std::string_view fileUrl,
                                      bool frames) const = 0;
    virtual std::string waitPage(unsigned minutes) const = 0;
    virtual std::string aboutPage(unsigned minutes) const = 0;
    virtual std::string missingPage() const = 0;
    virtual std::string errorPage(std::string_view message) const = 0;
};
