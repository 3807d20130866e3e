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

HtmlFormControl::HtmlFormControl(const GumboNode &node, HtmlForm &form)
    : m_node(node)
    , m_form(form)
{
}

QString HtmlFormControl::value() const
{
    const QString kind = type();
    if (isHtml(m_node, GUMBO_TAG_INPUT)) {
        if (!HtmlNode::hasAttribute(m_node, "value") && (kind == u"checkbox" || kind == u"radio"))
            return QStringLiteral("on");
        QString value = HtmlNode::attributeText(m_node, "value");
        if (lineTypes.contains(kind))
            value.remove(u'\n').remove(u'\r');
        return kind == u"url" || kind == u"email" ? value.trimmed() : value;
    }
    if (isHtml(m_node, GUMBO_TAG_BUTTON))
        return HtmlNode::attributeText(m_node, "value");
    if (isHtml(m_node, GUMBO_TAG_SELECT)) {
        const auto options = selectedOptions();
        return options.empty() ? QString() : optionValue(*options.front());
    }
    if (isHtml(m_node, GUMBO_TAG_TEXTAREA) || isHtml(m_node, GUMBO_TAG_OUTPUT))
        return HtmlNode::textContent(m_node);
    throw QuorvelError(QStringLiteral("<%1> 元素没有 Value 属性").arg(QString::fromUtf8(HtmlNode::qualifiedName(m_node))));
}

void HtmlFormControl::click()
{
    if (!isSubmitButton() || isDisabled())
        return;
    if (const auto request = m_form.submission(*this))
        m_form.document().navigate(*request);
}

QString HtmlFormControl::name() const
{
    return HtmlNode::attributeText(m_node, "name");
}

QString HtmlFormControl::type() const
{
    const QString declared = HtmlNode::attributeText(m_node, "type").trimmed().toLower();
    if (isHtml(m_node, GUMBO_TAG_INPUT))
        return inputTypes.contains(declared) ? declared : QStringLiteral("text");
    if (isHtml(m_node, GUMBO_TAG_BUTTON))
        return declared == u"reset" || declared == u"button" ? declared : QStringLiteral("submit");
    if (isHtml(m_node, GUMBO_TAG_SELECT))
        return HtmlNode::hasAttribute(m_node, "multiple") ? QStringLiteral("select-multiple") : QStringLiteral("select-one");
    return QString::fromUtf8(HtmlNode::qualifiedName(m_node));
}

bool HtmlFormControl::isSubmitButton() const
{
    const QString kind = type();
    return (isHtml(m_node, GUMBO_TAG_INPUT) || isHtml(m_node, GUMBO_TAG_BUTTON))
        && (kind == u"submit" || kind == u"image");
}

bool HtmlFormControl::isImageButton() const
{
    return isHtml(m_node, GUMBO_TAG_INPUT) && type() == u"image";
}

bool HtmlFormControl::isButton() const
{
    const QString kind = type();
    return isHtml(m_node, GUMBO_TAG_BUTTON) || kind == u"submit" || kind == u"image" || kind == u"reset"
        || kind == u"button";
}

bool HtmlFormControl::isDisabled() const
{
    if (HtmlNode::hasAttribute(m_node, "disabled"))
        return true;
    // A disabled fieldset disables what it holds, except inside its first legend.
    const GumboNode *inside = &m_node;
    for (const GumboNode *node = m_node.parent; node && HtmlNode::isElement(*node); inside = node, node = node->parent) {
        if (!isHtml(*node, GUMBO_TAG_FIELDSET) || !HtmlNode::hasAttribute(*node, "disabled"))
            continue;
        const GumboNode *firstLegend = HtmlNode::findElement(*node, [node](const GumboNode &kid) {
            return kid.parent == node && isHtml(kid, GUMBO_TAG_LEGEND);
        });
        if (inside != firstLegend)
            return true;
    }
    return false;
}

bool HtmlFormControl::isChecked() const
{
    return HtmlNode::hasAttribute(m_node, "checked");
}

QStringList HtmlFormControl::submittedOptionValues() const
{
    QStringList values;
    for (const GumboNode *option : selectedOptions()) {
        if (!isOptionDisabled(*option))
            values.append(optionValue(*option));
    }
    return values;
}

std::vector<const GumboNode *> HtmlFormControl::selectedOptions() const
{
    std::vector<const GumboNode *> options;
    HtmlNode::forEachElement(m_node, [&options, this](const GumboNode &node) {
        const bool listed = node.parent == &m_node
            || (isHtml(*node.parent, GUMBO_TAG_OPTGROUP) && node.parent->parent == &m_node);
        if (listed && isHtml(node, GUMBO_TAG_OPTION))
            options.push_back(&node);
    });
    std::vector<const GumboNode *> selected;
    for (const GumboNode *option : options) {
        if (HtmlNode::hasAttribute(*option, "selected"))
            selected.push_back(option);
    }
    if (HtmlNode::hasAttribute(m_node, "multiple"))
        return selected;
    // A drop-down always shows one option: the last one marked selected, else the first usable.
    if (!selected.empty())
        return {selected.back()};
    if (HtmlNode::attributeText(m_node, "size").toInt() > 1)
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
    // Only ASCII whitespace is collapsed: a no-break space in an option's label is part of it.
    static const QRegularExpression asciiSpace(QStringLiteral("[\\t\\n\\f\\r ]+"));
    QString label = HtmlNode::textContent(option).replace(asciiSpace, QStringLiteral(" "));
    if (label.startsWith(u' '))
        label.remove(0, 1);
    if (label.endsWith(u' '))
        label.chop(1);
    return label;
}

bool HtmlFormControl::isOptionDisabled(const GumboNode &option)
{
    return HtmlNode::hasAttribute(option, "disabled")
        || (isHtml(*option.parent, GUMBO_TAG_OPTGROUP) && HtmlNode::hasAttribute(*option.parent, "disabled"));
}
