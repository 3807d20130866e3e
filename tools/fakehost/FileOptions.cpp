// SPDX-License-Identifier: MIT
#include "tools/fakehost/FileOptions.h"

#include "tools/fakehost/NumberText.h"
#include "tools/fakehost/TextEscapes.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace {

// No page needs a wait longer than this; a larger number is far more likely a typo.
constexpr std::uint64_t maxTimeValue = 1'000'000;

std::uint64_t number(const std::string &key, const std::string &text, std::uint64_t max)
{
    const auto value = parseUnsigned(text, max);
    if (!value)
        throw std::invalid_argument("bad value for " + key + ": '" + text + "'");
    return *value;
}

unsigned timeValue(const std::string &key, const std::string &text)
{
    return static_cast<unsigned>(number(key, text, maxTimeValue));
}

bool flag(const std::string &key, const std::string &text)
{
    return number(key, text, 1) == 1;
}

FailMode failMode(const std::string &text)
{
    if (text == "reset")
        return FailMode::resetOnce;
    if (text == "reset-always")
        return FailMode::resetAlways;
    if (text == "404")
        return FailMode::notFound;
    throw std::invalid_argument("bad value for fail: '" + text + "' (reset, reset-always or 404)");
}

const char *failText(FailMode mode)
{
    switch (mode) {
    case FailMode::resetOnce:
        return "reset";
    case FailMode::resetAlways:
        return "reset-always";
    case FailMode::notFound:
        return "404";
    case FailMode::none:
        break;
    }
    return "";
}

} // namespace

FileOptions FileOptions::fromQuery(std::string_view query, const HostDefaults &defaults)
{
    FileOptions options;
    options.size = defaults.size;
    options.countdown = defaults.countdown;
    options.rate = defaults.rate;
    constexpr auto anySize = std::numeric_limits<std::uint64_t>::max();
    while (!query.empty()) {
        const std::size_t end = std::min(query.find('&'), query.size());
        const std::string_view pair = query.substr(0, end);
        query.remove_prefix(std::min(end + 1, query.size()));
        if (pair.empty())
            continue;
        const std::size_t equals = std::min(pair.find('='), pair.size());
        const std::string key = percentDecode(pair.substr(0, equals));
        const std::string value = percentDecode(pair.substr(std::min(equals + 1, pair.size())));
        if (key == "size")
            options.size = number(key, value, anySize);
        else if (key == "countdown")
            options.countdown = timeValue(key, value);
        else if (key == "wait")
            options.waitMinutes = timeValue(key, value);
        else if (key == "about")
            options.aboutMinutes = timeValue(key, value);
        else if (key == "missing")
            options.missing = flag(key, value);
        else if (key == "frames")
            options.frames = flag(key, value);
        else if (key == "nolength")
            options.noLength = flag(key, value);
        else if (key == "fail")
            options.fail = failMode(value);
        else if (key == "rate")
            options.rate = number(key, value, anySize);
        else if (key == "filename")
            options.dispositionName = value;
        else if (key == "filename*")
            options.dispositionUtf8Name = value;
        else if (key == "type")
            options.type = value;
        else
            throw std::invalid_argument("unknown parameter: " + key);
    }
    return options;
}

std::string FileOptions::toQuery() const
{
    std::string query = "size=" + std::to_string(size) + "&countdown=" + std::to_string(countdown)
        + "&rate=" + std::to_string(rate);
    if (waitMinutes)
        query += "&wait=" + std::to_string(*waitMinutes);
    if (aboutMinutes)
        query += "&about=" + std::to_string(*aboutMinutes);
    if (missing)
        query += "&missing=1";
    if (frames)
        query += "&frames=1";
    if (noLength)
        query += "&nolength=1";
    if (fail != FailMode::none)
        query += std::string("&fail=") + failText(fail);
    if (!dispositionName.empty())
        query += "&filename=" + safeSegment(dispositionName);
    if (!dispositionUtf8Name.empty())
        query += "&filename*=" + safeSegment(dispositionUtf8Name);
    if (!type.empty())
        query += "&type=" + safeSegment(type);
    return query;
}
