// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

/** One HTTP/1.1 response, whole: the server never streams an answer. */
struct HttpResponse
{
    int status = 200;
    QByteArray contentType = "application/json-rpc";
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> fields;
    /** Says "Connection: close"; the connection ends once it is sent. */
    bool closes = false;

    QByteArray serialized() const;

    /** A refusal with its reason phrase as a plain-text body; it ends the connection. */
    static HttpResponse refusal(int status);
};
