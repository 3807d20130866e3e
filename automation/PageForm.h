// SPDX-License-Identifier: MIT
#pragma once

#include "automation/PageElement.h"

#include <optional>

/** A form of the document. */
class PageForm
{
public:
    virtual ~PageForm() = default;
    /** The number of the form's elements, counted as form.elements does: image buttons are not among them. */
    virtual int length() const = 0;
    /** Element j (0-based, document order); throws QuorvelError when out of range. */
    virtual PageElement &item(int j) = 0;
    /** The value of the form element's attribute of that (lower-case) name; nullopt without one. */
    virtual std::optional<QString> attribute(const QString &) const { return std::nullopt; }
};
