// SPDX-License-Identifier: MIT
#pragma once

#include "common/FailureCause.h"
#include "platform/web/FileAnswer.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

/** What a fetch brought back: the page, a file left unread, or why there is neither. */
struct PageResponse
{
    /** The address after redirects (the requested one when nothing was reached). */
    QUrl url;
    long status = 0;
    QByteArray contentType;
    /** Empty when the answer is a file. */
    QByteArray body;
    /** Set when the answer is a file, not a page; it is not a failure. */
    std::optional<FileAnswer> file;
    /** The response's Retry-After, in seconds, when it sent one. */
    std::optional<int> retryAfterSeconds;
    /** Empty on success; otherwise a short reason for the user, with its technical detail. */
    QString failure;
    /** What the failure means for another try; only read when failure is set. */
    FailureCause cause;
    bool cancelled = false;

    bool ok() const { return failure.isEmpty() && !cancelled; }
    void fail(const QString &detail, const FailureCause &why)
    {
        failure = detail;
        cause = why;
    }
};
