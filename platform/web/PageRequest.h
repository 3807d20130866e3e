// SPDX-License-Identifier: MIT
#pragma once

#include "platform/web/FormEntry.h"

#include <QByteArray>
#include <QList>
#include <QUrl>

/** What a navigation asks the server for: a plain GET, or a form's submission. */
struct PageRequest
{
    QUrl url;
    QByteArray method = "GET";
    /** For a POST: the body's media type; multipart/form-data takes its parts from multipart. */
    QByteArray contentType;
    QByteArray body;
    QList<FormEntry> multipart;
    QString referer;

    bool isMultipart() const { return contentType == "multipart/form-data"; }
};
