// SPDX-License-Identifier: MIT
#pragma once

#include <QUrl>

/**
 * Hands a web or mail address to the desktop (the user's browser or mail program). Tests
 * inject a fake so that no browser is ever started. UI thread only.
 */
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    /** Asks the desktop to open url; whether it could is not reported, nobody acts on it. */
    virtual void open(const QUrl &url) = 0;
};
