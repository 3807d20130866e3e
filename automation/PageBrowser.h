// SPDX-License-Identifier: MIT
#pragma once

#include "common/FailureCause.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

// What the page automation needs of a web browser, and nothing more. The real engine lives in
// platform/web; tests give canned pages. Every member that the page does not have throws
// QuorvelError at the call, as a late-bound browser object would.
// Thread contract: everything here is used on the UI thread only.

/** One listed element of a form (input, button, select, textarea, ...). */
class PageElement
{
public:
    virtual ~PageElement() = default;
    /** The element's current value; throws QuorvelError for an element that has no value. */
    virtual QString value() const = 0;
    /** A user's click: a submit control submits its form (a navigation begins); others do nothing. */
    virtual void click() = 0;
};

/** A form of the document. */
class PageForm
{
public:
    virtual ~PageForm() = default;
    /** The number of the form's elements, counted as form.elements does: image buttons are not among them. */
    virtual int length() const = 0;
    /** Element j (0-based, document order); throws QuorvelError when out of range. */
    virtual PageElement &item(int j) = 0;
};

/** A loaded top-level document. */
class PageDocument
{
public:
    virtual ~PageDocument() = default;
    /** The document's address after redirects. */
    virtual QString url() const = 0;
    /** innerHTML of the body; throws QuorvelError when the document has no body. */
    virtual QString bodyInnerHtml() const = 0;
    /** all.tags("FORM").Length: the number of form elements in the document. */
    virtual int formTagCount() const = 0;
    /** forms.Length. */
    virtual int formCount() const = 0;
    /** forms.Item(i) (0-based); throws QuorvelError when out of range. */
    virtual PageForm &form(int i) = 0;
    /**
     * Why the load behind this document failed, when it did: the engine's own failure page, or a
     * server's page sent with an error status (whose text may still say what the page means).
     */
    virtual std::optional<FailureCause> loadFailure() const { return std::nullopt; }
};

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
};
