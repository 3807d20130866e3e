// SPDX-License-Identifier: MIT
#include "platform/web/HtmlForm.h"

#include "common/QuorvelError.h"
#include "platform/web/FormSubmission.h"

HtmlForm::HtmlForm(const GumboNode &node, HtmlDocument &document)
    : m_attributes(SubmissionAttributes::of(node, ""))
    , m_ownAttributes(node)
    , m_document(document)
{
}

int HtmlForm::length() const
{
    return int(m_elements.size());
}

HtmlFormControl &HtmlForm::item(int j)
{
    if (j < 0 || j >= length())
        throw QuorvelError::listIndex(j);
    return *m_elements[size_t(j)];
}

std::vector<HtmlFormControl *> HtmlForm::controls() const
{
    std::vector<HtmlFormControl *> controls;
    for (const auto &control : m_controls)
        controls.push_back(control.get());
    return controls;
}

std::optional<PageRequest> HtmlForm::submission(const HtmlFormControl &submitter, const QList<FormField> &fields) const
{
    const std::vector<HtmlFormControl *> all = controls();
    return FormSubmission::build(m_attributes, m_document, {all.begin(), all.end()}, submitter, fields);
}

const HtmlFormControl &HtmlForm::addControl(const GumboNode &control, bool disabledByFieldset)
{
    m_controls.push_back(std::make_unique<HtmlFormControl>(control, disabledByFieldset, *this));
    if (!m_controls.back()->isImageButton())
        m_elements.push_back(m_controls.back().get());
    return *m_controls.back();
}
