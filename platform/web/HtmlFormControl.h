// SPDX-License-Identifier: MIT
#pragma once

#include "automation/PageElement.h"

#include <gumbo.h>

#include <QString>
#include <QStringList>

#include <vector>

class HtmlForm;

/**
 * A listed element of a form, answering value() and click() as a browser's DOM would.
 * Thread contract: the thread that uses its document.
 */
class HtmlFormControl final : public PageElement
{
public:
    HtmlFormControl(const GumboNode &node, HtmlForm &form);

    /** Throws QuorvelError for elements without a value (fieldset, object). */
    QString value() const override;
    /** A submit control that is not disabled submits its form; anything else does nothing. */
    void click() override;

    const GumboNode &node() const { return m_node; }
    QString name() const;
    /** The DOM's type: "text", "submit", "checkbox"..., "select-one", "textarea", "fieldset"... */
    QString type() const;
    bool isSubmitButton() const;
    /** An input type=image: a submit button that form.elements does not list. */
    bool isImageButton() const;
    /** Any button, including reset and plain buttons: never part of a submission unless it submits. */
    bool isButton() const;
    bool isDisabled() const;
    bool isChecked() const;
    /** For a select: the values of its selected options that are not disabled. */
    QStringList submittedOptionValues() const;

private:
    std::vector<const GumboNode *> selectedOptions() const;
    static QString optionValue(const GumboNode &option);
    static bool isOptionDisabled(const GumboNode &option);

    const GumboNode &m_node;
    HtmlForm &m_form;
};
