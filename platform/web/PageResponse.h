// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

/** What a fetch brought back: the page, or why there is none. */
struct PageResponse
{
    /** The address after redirects (the requested one when nothing was reached). */
    QUrl url;
    long status = 0;
    QByteArray contentType;
    QByteArray body;
    /** Empty on success; otherwise a short reason for the user. */
    QString failure;
    bool cancelled = false;

    bool ok() const { return failure.isEmpty() && !cancelled; }
};
