// SPDX-License-Identifier: MIT
#include "tools/fakehost/RequestParts.h"

#include "tools/fakehost/TextEscapes.h"

#include <algorithm>

std::string rawPath(const httplib::Request &request)
{
    return request.target.substr(0, request.target.find('?'));
}

std::string rawQuery(const httplib::Request &request)
{
    const std::size_t mark = request.target.find('?');
    return mark == std::string::npos ? std::string() : request.target.substr(mark + 1);
}

std::optional<std::string> nameAfter(std::string_view path, std::string_view prefix)
{
    if (path.substr(0, prefix.size()) != prefix)
        return std::nullopt;
    const std::string_view name = path.substr(prefix.size());
    if (name.empty() || name.find('/') != std::string_view::npos)
        return std::nullopt;
    return safeSegment(name);
}

std::string cookieValue(const httplib::Request &request, std::string_view name)
{
    const std::size_t count = request.get_header_value_count("Cookie");
    for (std::size_t i = 0; i < count; ++i) {
        const std::string header = request.get_header_value("Cookie", i);
        std::size_t start = 0;
        while (start < header.size()) {
            const std::size_t end = std::min(header.find(';', start), header.size());
            std::string_view pair = std::string_view(header).substr(start, end - start);
            pair.remove_prefix(std::min(pair.find_first_not_of(' '), pair.size()));
            const std::size_t equals = pair.find('=');
            if (equals != std::string_view::npos && pair.substr(0, equals) == name)
                return std::string(pair.substr(equals + 1));
            start = end + 1;
        }
    }
    return {};
}

