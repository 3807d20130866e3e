// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

/**
 * An answer that is a file rather than a page: its body was left unread, for a transfer to fetch
 * from url with a request of its own.
 */
struct FileAnswer
{
    /**
     * The address after redirects, exactly as it was requested (percent escapes kept), so that
     * the transfer asks for the same resource.
     */
    QString url;
    /** The name its Content-Disposition suggests, as the server wrote it; "" when none. */
    QString suggestedName;
    QByteArray contentType;
};
