// SPDX-License-Identifier: MIT
#include "tools/fakehost/TextEscapes.h"

#include <cctype>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isEscapeAt(std::string_view text, std::size_t i)
{
    return text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0
        && hexValue(text[i + 2]) >= 0;
}

// RFC 3986's unreserved and sub-delimiter characters, less "&", which an HTML attribute would
// read as the start of an entity.
bool isSafe(char c)
{
    static constexpr std::string_view punctuation = "-._~!$'()*+,;=:@";
    return std::isalnum(static_cast<unsigned char>(c)) || punctuation.find(c) != std::string_view::npos;
}

} // namespace

std::string htmlEscape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string safeSegment(std::string_view segment)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < segment.size(); ++i) {
        const char c = segment[i];
        if (isSafe(c) || isEscapeAt(segment, i)) {
            out += c;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        out += '%';
        out += digits[byte >> 4];
        out += digits[byte & 0xF];
    }
    return out;
}

std::string percentDecode(std::string_view segment)
{
    std::string out;
    for (std::size_t i = 0; i < segment.size(); ++i) {
        if (isEscapeAt(segment, i)) {
            out += static_cast<char>(hexValue(segment[i + 1]) * 16 + hexValue(segment[i + 2]));
            i += 2;
        } else {
            out += segment[i];
        }
    }
    return out;
}
