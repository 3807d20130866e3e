// SPDX-License-Identifier: MIT
#pragma once

#include "automation/PageForm.h"
#include "platform/web/ElementAttributes.h"
#include "platform/web/HtmlFormControl.h"
#include "platform/web/PageRequest.h"

#include <gumbo.h>

#include <memory>
#include <optional>
#include <vector>

class HtmlDocument;

/**
 * A form and its listed elements (button, fieldset, input, object, output, select, textarea,
 * including those tied to it by a form="" attribute) in document order. length() and item()
 * are the DOM's form.elements, which leaves image buttons out; controls() keeps them, since a
 * click on one still submits the form.
 * Thread contract: the thread that uses its document.
 */
class HtmlForm final : public PageForm
{
public:
    HtmlForm(const GumboNode &node, HtmlDocument &document);

    int length() const override;
    HtmlFormControl &item(int j) override;
    /** Every control tied to the form in document order, image buttons included. */
    std::vector<HtmlFormControl *> controls() const;

    std::optional<QString> attribute(const QString &name) const override { return m_ownAttributes.value(name); }

    HtmlDocument &document() const { return m_document; }
    /** What a click on submitter sends, with fields set first; nothing for a method="dialog" form. */
    std::optional<PageRequest> submission(const HtmlFormControl &submitter, const QList<FormField> &fields = {}) const;

private:
    friend class HtmlDocument;
    const HtmlFormControl &addControl(const GumboNode &control, bool disabledByFieldset);

    SubmissionAttributes m_attributes;
    ElementAttributes m_ownAttributes;
    HtmlDocument &m_document;
    std::vector<std::unique_ptr<HtmlFormControl>> m_controls;
    std::vector<HtmlFormControl *> m_elements;
};
