// SPDX-License-Identifier: MIT
#include "tools/fakehost/HostPages.h"

#include "tools/fakehost/TextEscapes.h"

#include <utility>

HostPages::HostPages(std::string origin) : m_origin(std::move(origin)) {}

std::string HostPages::filePage(std::string_view name, std::uint64_t size, std::string_view freeUserUrl,
                                bool frames) const
{
    return layout("Download file",
                  "<h1>Download file</h1>\n"
                  "<div class=\"fileinfo\">\n<p>You requested the file <b>"
                      + htmlEscape(name) + "</b> (" + std::to_string(size)
                      + " bytes).</p>\n<p>Choose how you want to download it.</p>\n</div>\n"
                      + adSlot(frames)
                      + "<div class=\"choice\">\n<form action=\"" + htmlEscape(freeUserUrl)
                      + "\" method=\"post\">\n"
                        "<input type=\"submit\" name=\"dl.start\" value=\"Free user\">\n</form>\n"
                        "<p class=\"premium\">Premium users download at full speed.</p>\n</div>\n");
}

std::string HostPages::countdownPage(std::string_view name, unsigned seconds, std::string_view fileUrl,
                                     bool frames) const
{
    const std::string count = std::to_string(seconds);
    // The download form is the page's only form, and its action comes before its method: a
    // reader that cuts the address out of the raw text finds it whole.
    return layout("Free download",
                  "<h1>Free download</h1>\n" + adSlot(frames) + "<p>Your download of <b>" + htmlEscape(name)
                      + "</b> is being prepared. It can start in <span id=\"countdown\">" + count
                      + "</span> seconds.</p>\n"
                        "<script type=\"text/javascript\">\nvar c="
                      + count
                      + ";\nfunction tick() {\n"
                        "  if (c > 0) { document.getElementById(\"countdown\").innerHTML = c; c = c - 1; "
                        "setTimeout(tick, 1000); }\n"
                        "  else { document.getElementById(\"dlbox\").style.display = \"block\"; }\n}\n"
                        "setTimeout(tick, 1000);\n</script>\n"
                        "<div id=\"dlbox\" style=\"display:none\">\n<form name=\"dlf\" action=\""
                      + htmlEscape(fileUrl)
                      + "\" method=\"post\">\n"
                        "<input type=\"submit\" name=\"dl.go\" value=\"Download now\">\n</form>\n</div>\n");
}

std::string HostPages::waitPage(unsigned minutes) const
{
    return noticePage("Download limit reached", {"You have just downloaded a file as a free user.",
                                                 "Unfortunately you will have to wait " + std::to_string(minutes)
                                                     + " minutes."});
}

std::string HostPages::aboutPage(unsigned minutes) const
{
    // Only a tag follows "minutes.": a reader that looks for the last "m" in the few characters
    // after the number must find the one of "minutes".
    return noticePage("Server busy", {"All download slots for free users are in use.",
                                      "Or try again in about " + std::to_string(minutes) + " minutes."});
}

std::string HostPages::missingPage() const
{
    return noticePage("Error", {"The file could not be found. Please check the download link."});
}

std::string HostPages::adFrame() const
{
    return "<!DOCTYPE html>\n<html>\n<head><title>Advertisement</title></head>\n<body>\n"
           "<div class=\"banner\"><a href=\""
        + htmlEscape(m_origin) + "/\">Store your files here, free and forever</a></div>\n</body>\n</html>\n";
}

std::string HostPages::errorPage(std::string_view message) const
{
    return noticePage("Error", {htmlEscape(message)});
}

std::string HostPages::noticePage(std::string_view title, std::initializer_list<std::string> paragraphs) const
{
    std::string content = "<h1>" + std::string(title) + "</h1>\n<div class=\"notice\">\n";
    for (const std::string &paragraph : paragraphs)
        content += "<p>" + paragraph + "</p>\n";
    return layout(title, content + "</div>\n");
}

std::string HostPages::layout(std::string_view title, std::string_view content) const
{
    return "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" + std::string(title)
        + " - Fakehost</title>\n</head>\n<body>\n"
          "<script type=\"text/javascript\">\n"
          "function showLanguages() { document.getElementById(\"languages\").style.display = \"block\"; }\n"
          "</script>\n"
          "<div id=\"header\">\n<a href=\"/\" class=\"logo\">Fakehost</a>\n"
          "<a href=\"#\" onclick=\"showLanguages()\">Language</a>\n"
          "<div id=\"languages\" style=\"display:none\">English</div>\n</div>\n"
          "<div id=\"content\">\n"
        + std::string(content)
        + "</div>\n<div id=\"footer\">\n<a href=\"/terms.html\">Terms of use</a> | "
          "<a href=\"/contact.html\">Contact</a>\n</div>\n</body>\n</html>\n";
}

std::string HostPages::adSlot(bool frames) const
{
    if (!frames)
        return {};
    return "<div class=\"ad\"><iframe src=\"" + htmlEscape(m_origin)
        + "/ad/banner.html\" width=\"468\" height=\"60\" frameborder=\"0\" scrolling=\"no\"></iframe></div>\n";
}
