// SPDX-License-Identifier: MIT
#pragma once

#include "automation/PageDocument.h"

#include <QObject>
#include <QString>

#include <memory>

// What the page automation needs of a web browser, and nothing more. The real engine lives in
// platform/web; tests give canned pages. Every member that the page does not have throws
// QuorvelError at the call, as a late-bound browser object would.
// Thread contract: everything here is used on the UI thread only.

/** The embedded browser: WebBrowser1. */
class PageBrowser : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    /** Begins loading url and returns at once; the page arrives through the signals. */
    virtual void navigate(const QString &url) = 0;
    /** Ends a load in progress; no documentComplete of that load follows. */
    virtual void stop() = 0;
    /**
     * The current top-level document; throws QuorvelError before any page has loaded. The
     * returned object stays valid while it is held, even after another page has loaded.
     */
    virtual std::shared_ptr<PageDocument> document() = 0;

signals:
    /** Before every navigation: of the page, and of each frame in it. */
    void beforeNavigate(const QString &url);
    /** When a document has loaded: once per frame or iframe, then once for the page. */
    void documentComplete(const QString &url);
    /** When a load ends, whether it succeeded, failed or was stopped. */
    void downloadComplete();
    /**
     * The navigation's answer is a file, not a page: after its downloadComplete, in place of its
     * documentComplete, and document() stays what it was. url is where the file is after
     * redirects, percent escapes kept; suggestedName what the answer's Content-Disposition names,
     * unchecked ("" when none); contentType the answer's, "" when none.
     */
    void fileOffered(const QString &url, const QString &suggestedName, const QString &contentType);
};
