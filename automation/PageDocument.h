// SPDX-License-Identifier: MIT
#pragma once

#include "automation/PageForm.h"
#include "common/FailureCause.h"

#include <QString>

#include <optional>

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
