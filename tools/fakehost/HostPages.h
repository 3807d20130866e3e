// SPDX-License-Identifier: MIT
#pragma once

#include "tools/fakehost/SitePages.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

/**
 * The HTML of the host's pages, in the English of a free file host, with the usual header,
 * footer, script and ad noise around the few sentences a downloader has to read.
 * Names are shown decoded and escaped; URLs given here are put into attributes escaped.
 */
class HostPages final : public SitePages
{
public:
    /** origin: "http://127.0.0.1:PORT", the base of the ad frame's address. */
    explicit HostPages(std::string origin);

    /** Where the free user presses "Free user"; the form posts to freeUserUrl. */
    std::string filePage(std::string_view name, std::uint64_t size, std::string_view freeUserUrl,
                         bool frames) const override;
    /** The countdown script holds "var c=seconds;"; the download form's action is fileUrl. */
    std::string countdownPage(std::string_view name, unsigned seconds, std::string_view fileUrl,
                              bool frames) const override;
    std::string waitPage(unsigned minutes) const override;
    std::string aboutPage(unsigned minutes) const override;
    std::string missingPage() const override;
    std::string adFrame() const;
    std::string errorPage(std::string_view message) const override;

private:
    /** A page of a heading and a few paragraphs of HTML. */
    std::string noticePage(std::string_view title, std::initializer_list<std::string> paragraphs) const;
    std::string layout(std::string_view title, std::string_view content) const;
    std::string adSlot(bool frames) const;

    std::string m_origin;
};
