// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

/**
 * Why a page load or a transfer failed, and whether trying the entry again later may help: the
 * page engine and the download service say it, the flow decides what to do. A value; any thread.
 */
struct FailureCause
{
    enum class Kind {
        /** May pass: the network, an overloaded server. Worth another walk after a wait. */
        Transient,
        /** Will not pass by waiting: the page is gone, the scheme is not ours, the name is refused. */
        Permanent,
        /**
         * A direct file URL refused with 403 or 404: such links expire, so a fresh walk may get a
         * good one; refused the same way again, the cause is permanent.
         */
        ExpiredLink,
    };

    Kind kind = Kind::Permanent;
    /** A few words for the status bar and the console: "连接被拒绝", "超时", "HTTP 503". */
    QString reason;
    /** The HTTP status that made it, 0 when none was received. */
    int httpStatus = 0;
    /** A 429's or 503's Retry-After, in seconds, when the server sent one. */
    std::optional<int> retryAfterSeconds;

    static FailureCause transient(const QString &reason) { return {Kind::Transient, reason, 0, {}}; }
    static FailureCause permanent(const QString &reason) { return {Kind::Permanent, reason, 0, {}}; }

    /** An error status of a page: 408, 429, 500, 502, 503 and 504 may pass, any other will not. */
    static FailureCause fromPageStatus(int status, std::optional<int> retryAfterSeconds = {})
    {
        return {isTransientStatus(status) ? Kind::Transient : Kind::Permanent, statusReason(status), status,
                retryAfterSeconds};
    }

    /** An error status of a direct file URL: as a page's, but 403 and 404 mark an expired link. */
    static FailureCause fromFileStatus(int status, std::optional<int> retryAfterSeconds = {})
    {
        FailureCause cause = fromPageStatus(status, retryAfterSeconds);
        if (status == 403 || status == 404)
            cause.kind = Kind::ExpiredLink;
        return cause;
    }

    bool mayPass() const { return kind != Kind::Permanent; }

private:
    static bool isTransientStatus(int status)
    {
        switch (status) {
        case 408: case 429: case 500: case 502: case 503: case 504:
            return true;
        default:
            return false;
        }
    }
    static QString statusReason(int status) { return QStringLiteral("HTTP %1").arg(status); }
};
