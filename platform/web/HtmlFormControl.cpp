// SPDX-License-Identifier: MIT
#include "platform/web/HtmlFormControl.h"

#include "common/QuorvelError.h"
#include "platform/web/HtmlDocument.h"
#include "platform/web/HtmlForm.h"
#include "platform/web/HtmlNode.h"

#include <QRegularExpression>

using HtmlNode::isHtml;
using namespace Qt::Literals::StringLiterals;

namespace {

const QStringList inputTypes{u"hidden"_s, u"text"_s, u"search"_s, u"tel"_s, u"url"_s, u"email"_s,
    u"password"_s, u"date"_s, u"month"_s, u"week"_s, u"time"_s, u"datetime-local"_s, u"number"_s,
    u"range"_s, u"color"_s, u"checkbox"_s, u"radio"_s, u"file"_s, u"submit"_s, u"image"_s,
    u"reset"_s, u"button"_s};

// Types whose value a browser cleans of line breaks before anyone reads it.
const QStringList lineTypes{u"text"_s, u"search"_s, u"tel"_s, u"url"_s, u"email"_s, u"password"_s};

} // namespace

HtmlFormControl::HtmlFormControl(const GumboNode &node, bool disabledByFieldset, HtmlForm &form)
    : m_element(elementOf(node))
    , m_type(typeOf(node, m_element))
    , m_name(HtmlNode::attributeText(node, "name"))
    , m_id(HtmlNode::attributeText(node, "id"))
    , m_qualifiedName(QString::fromUtf8(HtmlNode::qualifiedName(node)))
    , m_value(valueOf(node, m_element, m_type))
    , m_attributes(node)
    , m_buttonText(shownText(node, m_element))
    , m_disabled(disabledByFieldset || HtmlNode::hasAttribute(node, "disabled"))
    , m_checked(HtmlNode::hasAttribute(node, "checked"))
    , m_submitterAttributes(SubmissionAttributes::of(node, "form"))
    , m_form(form)
{
    if (m_element != Element::Select)
        return;
    for (const GumboNode *option : selectedOptions(node))
        m_selected.push_back({optionValue(*option), isOptionDisabled(*option)});
}

HtmlFormControl::Element HtmlFormControl::elementOf(const GumboNode &node)
{
    if (isHtml(node, GUMBO_TAG_INPUT))
        return Element::Input;
    if (isHtml(node, GUMBO_TAG_BUTTON))
        return Element::Button;
    if (isHtml(node, GUMBO_TAG_SELECT))
        return Element::Select;
    return Element::Other;
}

QString HtmlFormControl::typeOf(const GumboNode &node, Element element)
{
    const QString declared = HtmlNode::attributeText(node, "type").trimmed().toLower();
    switch (element) {
    case Element::Input:
        return inputTypes.contains(declared) ? declared : QStringLiteral("text");
    case Element::Button:
        return declared == u"reset" || declared == u"button" ? declared : QStringLiteral("submit");
    case Element::Select:
        return HtmlNode::hasAttribute(node, "multiple") ? QStringLiteral("select-multiple") : QStringLiteral("select-one");
    case Element::Other:
        break;
    }
    return QString::fromUtf8(HtmlNode::qualifiedName(node));
}

std::optional<QString> HtmlFormControl::valueOf(const GumboNode &node, Element element, const QString &type)
{
    if (element == Element::Input) {
        if (!HtmlNode::hasAttribute(node, "value") && (type == u"checkbox" || type == u"radio"))
            return QStringLiteral("on");
        QString value = HtmlNode::attributeText(node, "value");
        if (lineTypes.contains(type))
            value.remove(u'\n').remove(u'\r');
        return type == u"url" || type == u"email" ? value.trimmed() : value;
    }
    if (element == Element::Button)
        return HtmlNode::attributeText(node, "value");
    if (isHtml(node, GUMBO_TAG_TEXTAREA) || isHtml(node, GUMBO_TAG_OUTPUT))
        return HtmlNode::textContent(node);
    // A select's value is that of its first selected option, read from the options kept.
    return std::nullopt;
}

QString HtmlFormControl::value() const
{
    if (m_element == Element::Select)
        return m_selected.empty() ? QString() : m_selected.front().value;
    if (!m_value)
        throw QuorvelError(QStringLiteral("<%1> 元素没有 Value 属性").arg(m_qualifiedName));
    return *m_value;
}

void HtmlFormControl::click()
{
    submitWith({});
}

void HtmlFormControl::submitWith(const QList<FormField> &fields)
{
    if (!isSubmitButton() || isDisabled())
        return;
    if (const auto request = m_form.submission(*this, fields))
        m_form.document().navigate(*request);
}

QString HtmlFormControl::text() const
{
    if (m_element == Element::Button)
        return m_buttonText;
    return m_element == Element::Input && isButton() && m_value ? *m_value : QString();
}

bool HtmlFormControl::isSubmitButton() const
{
    return (m_element == Element::Input || m_element == Element::Button) && (m_type == u"submit" || m_type == u"image");
}

bool HtmlFormControl::isImageButton() const
{
    return m_element == Element::Input && m_type == u"image";
}

bool HtmlFormControl::isButton() const
{
    return m_element == Element::Button || m_type == u"submit" || m_type == u"image" || m_type == u"reset"
        || m_type == u"button";
}

qsizetype HtmlFormControl::textKept() const
{
    qsizetype characters = m_name.size() + m_id.size() + (m_value ? m_value->size() : 0) + m_attributes.textKept()
        + m_buttonText.size();
    for (const Option &option : m_selected)
        characters += option.value.size();
    return characters;
}

QStringList HtmlFormControl::submittedOptionValues() const
{
    QStringList values;
    for (const Option &option : m_selected) {
        if (!option.disabled)
            values.append(option.value);
    }
    return values;
}

std::vector<const GumboNode *> HtmlFormControl::selectedOptions(const GumboNode &select)
{
    std::vector<const GumboNode *> options;
    HtmlNode::forEachElement(select, [&options, &select](const GumboNode &node) {
        const bool listed = node.parent == &select
            || (isHtml(*node.parent, GUMBO_TAG_OPTGROUP) && node.parent->parent == &select);
        if (listed && isHtml(node, GUMBO_TAG_OPTION))
            options.push_back(&node);
    });
    std::vector<const GumboNode *> selected;
    for (const GumboNode *option : options) {
        if (HtmlNode::hasAttribute(*option, "selected"))
            selected.push_back(option);
    }
    if (HtmlNode::hasAttribute(select, "multiple"))
        return selected;
    // A drop-down always shows one option: the last one marked selected, else the first usable.
    if (!selected.empty())
        return {selected.back()};
    if (HtmlNode::attributeText(select, "size").toInt() > 1)
        return {};
    for (const GumboNode *option : options) {
        if (!isOptionDisabled(*option))
            return {option};
    }
    return {};
}
QString HtmlFormControl::optionValue(const GumboNode &option)
{
    if (HtmlNode::hasAttribute(option, "value"))
        return HtmlNode::attributeText(option, "value");
    return collapsedSpace(HtmlNode::textContent(option));
}

QString HtmlFormControl::collapsedSpace(QString text)
{
    // Only ASCII whitespace is collapsed: a no-break space in a label is part of it.
    static const QRegularExpression asciiSpace(QStringLiteral("[\\t\\n\\f\\r ]+"));
    text.replace(asciiSpace, QStringLiteral(" "));
    if (text.startsWith(u' '))
        text.remove(0, 1);
    if (text.endsWith(u' '))
        text.chop(1);
    return text;
}

QString HtmlFormControl::shownText(const GumboNode &node, Element element)
{
    if (element != Element::Button)
        return {};
    return collapsedSpace(HtmlNode::textContent(node));
}

bool HtmlFormControl::isOptionDisabled(const GumboNode &option)
{
    return HtmlNode::hasAttribute(option, "disabled")
        || (isHtml(*option.parent, GUMBO_TAG_OPTGROUP) && HtmlNode::hasAttribute(*option.parent, "disabled"));
}
