// SPDX-License-Identifier: MIT
#pragma once

#include "automation/PageElement.h"
#include "platform/web/ElementAttributes.h"
#include "platform/web/SubmissionAttributes.h"

#include <gumbo.h>

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class HtmlForm;

/**
 * A listed element of a form, answering value() and click() as a browser's DOM would. It reads
 * all of that from its element when made, so that the document can let the tree go: scripts
 * never run here, so nothing changes a control after the page was parsed.
 * Thread contract: the thread that uses its document.
 */
class HtmlFormControl final : public PageElement
{
public:
    /** disabledByFieldset: whether a disabled fieldset around the element disables it. */
    HtmlFormControl(const GumboNode &node, bool disabledByFieldset, HtmlForm &form);

    /** Throws QuorvelError for elements without a value (fieldset, object). */
    QString value() const override;
    /** A submit control that is not disabled submits its form; anything else does nothing. */
    void click() override;
    /** As click(), with fields set on the form first. */
    void submitWith(const QList<FormField> &fields) override;

    QString name() const override { return m_name; }
    QString id() const override { return m_id; }
    QString tagName() const override { return m_qualifiedName; }
    std::optional<QString> attribute(const QString &name) const override { return m_attributes.value(name); }
    QString text() const override;
    /** The DOM's type: "text", "submit", "checkbox"..., "select-one", "textarea", "fieldset"... */
    QString type() const { return m_type; }
    bool isSubmitButton() const;
    /** An input type=image: a submit button that form.elements does not list. */
    bool isImageButton() const;
    /** Any button, including reset and plain buttons: never part of a submission unless it submits. */
    bool isButton() const;
    bool isDisabled() const { return m_disabled; }
    bool isChecked() const { return m_checked; }
    /** For a select: the values of its selected options that are not disabled. */
    QStringList submittedOptionValues() const;
    /** What the control, as submitter, says in place of its form (formaction, formmethod...). */
    const SubmissionAttributes &submitterAttributes() const { return m_submitterAttributes; }
    /**
     * The characters of the page's text it keeps: its name, its id, its value, its options'
     * values, its attributes and a button's inner text.
     */
    qsizetype textKept() const;

private:
    enum class Element { Input, Button, Select, Other };
    struct Option
    {
        QString value;
        bool disabled;
    };
    static Element elementOf(const GumboNode &node);
    static QString typeOf(const GumboNode &node, Element element);
    static std::optional<QString> valueOf(const GumboNode &node, Element element, const QString &type);
    static std::vector<const GumboNode *> selectedOptions(const GumboNode &select);
    static QString optionValue(const GumboNode &option);
    static QString shownText(const GumboNode &node, Element element);
    static QString collapsedSpace(QString text);
    static bool isOptionDisabled(const GumboNode &option);

    Element m_element;
    QString m_type;
    QString m_name;
    QString m_id;
    QString m_qualifiedName;
    std::optional<QString> m_value;
    ElementAttributes m_attributes;
    QString m_buttonText;
    std::vector<Option> m_selected;
    bool m_disabled;
    bool m_checked;
    SubmissionAttributes m_submitterAttributes;
    HtmlForm &m_form;
};
