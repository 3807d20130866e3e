// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

#include <optional>

/** The request line and header fields of one HTTP/1.x request, as a client sent them. */
struct HttpRequestHead
{
    QByteArray method;
    /** The path without the query. */
    QByteArray path;
    /** Everything after '?', still percent-encoded. */
    QByteArray query;
    /** 0 for HTTP/1.0, 1 for HTTP/1.1. */
    int minorVersion = 1;
    QList<QPair<QByteArray, QByteArray>> fields;

    /** The first field of that name (compared without case), trimmed; none when absent. */
    std::optional<QByteArray> field(const QByteArray &name) const;
    /** Whether the comma-separated field holds token, compared without case. */
    bool fieldHasToken(const QByteArray &name, const QByteArray &token) const;
    bool keepsAlive() const;
    bool asksForWebSocket() const;

    /** The head up to, not including, the blank line; none when it is not HTTP/1.0 or 1.1. */
    static std::optional<HttpRequestHead> parse(const QByteArray &head);
};
