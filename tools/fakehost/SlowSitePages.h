// SPDX-License-Identifier: MIT
#pragma once

#include "tools/fakehost/SitePages.h"

/**
 * The second site, which differs from the first in everything a downloader reads: a "Slow
 * download" button, its waits in seconds and other sentences, the countdown in an element and
 * the file behind a relative link instead of a form. Quorvel reads it only through its layout
 * (packaging/layouts/fakehost-slow.layout).
 */
class SlowSitePages final : public SitePages
{
public:
    std::string filePage(std::string_view name, std::uint64_t size, std::string_view pressUrl,
                         bool frames) const override;
    std::string countdownPage(std::string_view name, unsigned seconds, std::string_view fileUrl,
                              bool frames) const override;
    std::string waitPage(unsigned minutes) const override;
    std::string aboutPage(unsigned minutes) const override;
    std::string missingPage() const override;
    std::string errorPage(std::string_view message) const override;

private:
    static std::string page(std::string_view title, std::string_view content);
};
