// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

/**
 * What the headers of one HTTP response say about resuming its body later: the validator that
 * guards a Range request for the rest (a strong ETag, else the Last-Modified date; a weak ETag
 * may not guard a byte range) and, for a 206, the range it carries. Fed one header line at a
 * time as libcurl hands them over; a new status line (a redirect's target, a 100 Continue)
 * starts a new response. A value; one thread at a time.
 */
class ResumeHeaders final
{
public:
    struct ContentRange
    {
        std::uint64_t first = 0;
        std::uint64_t last = 0;
        /** The whole file's length; nullopt for "*". */
        std::optional<std::uint64_t> total;
    };

    void addLine(QByteArray line);

    /** The If-Range value for a later request; empty when the response had none to give. */
    QByteArray validator() const;
    /**
     * Whether this response is of the version that validator (an If-Range value this class gave)
     * names: the same strong ETag, or for a date, the same Last-Modified. Only then may its bytes
     * be joined to those of the response that validator came from.
     */
    bool isVersion(const QByteArray &validator) const;
    std::optional<ContentRange> contentRange() const { return m_contentRange; }

    /** "bytes FIRST-LAST/TOTAL" (TOTAL may be "*"); nullopt for anything else. */
    static std::optional<ContentRange> parseContentRange(const QByteArray &value);

private:
    QByteArray m_etag;
    QByteArray m_lastModified;
    std::optional<ContentRange> m_contentRange;
};
