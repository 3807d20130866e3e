// SPDX-License-Identifier: MIT
#include "tools/fakehost/SlowSitePages.h"

#include "tools/fakehost/TextEscapes.h"

std::string SlowSitePages::filePage(std::string_view name, std::uint64_t size, std::string_view pressUrl, bool) const
{
    return page("Your file",
                "<section class=\"file\">\n<h2>" + htmlEscape(name) + "</h2>\n<p>Size: " + std::to_string(size)
                    + " bytes</p>\n<form method=\"post\" action=\"" + htmlEscape(pressUrl)
                    + "\">\n<input type=\"hidden\" name=\"speed\" value=\"\">\n"
                      "<button type=\"submit\" class=\"go slow\">\n  <b>Slow</b> download\n</button>\n"
                      "<button type=\"submit\" class=\"go fast\" disabled>Fast download</button>\n"
                      "</form>\n<script>document.querySelector(\"button.slow\").onclick = function () {\n"
                      "  this.form.speed.value = \"slow\";\n};</script>\n</section>\n");
}

std::string SlowSitePages::countdownPage(std::string_view name, unsigned seconds, std::string_view fileUrl, bool) const
{
    return page("Almost there",
                "<section class=\"ready\">\n<p>Your link to " + htmlEscape(name) + " appears in <b class=\"secs\">"
                    + std::to_string(seconds) + "</b> seconds.</p>\n<p class=\"link\"><a rel=\"nofollow\" href=\""
                    + htmlEscape(fileUrl) + "\">Fetch the file</a></p>\n</section>\n");
}

std::string SlowSitePages::waitPage(unsigned minutes) const
{
    return page("Slow down",
                "<p>Free users fetch one file at a time. Come back in " + std::to_string(minutes * 60)
                    + " seconds.</p>\n");
}

std::string SlowSitePages::aboutPage(unsigned minutes) const
{
    return page("Busy", "<p>Every slow slot is taken; retry in roughly " + std::to_string(minutes) + " minutes.</p>\n");
}

std::string SlowSitePages::missingPage() const
{
    return page("Gone", "<p>Sorry, this upload was removed by its owner.</p>\n");
}

std::string SlowSitePages::errorPage(std::string_view message) const
{
    return page("Problem", "<p>" + htmlEscape(message) + "</p>\n");
}

std::string SlowSitePages::page(std::string_view title, std::string_view content)
{
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head><meta charset=\"utf-8\"><title>" + std::string(title)
        + " | Slowfiles</title></head>\n<body>\n<nav><a href=\"/\">Slowfiles</a></nav>\n<main>\n" + std::string(content)
        + "</main>\n</body>\n</html>\n";
}
