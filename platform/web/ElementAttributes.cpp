// SPDX-License-Identifier: MIT
#include "platform/web/ElementAttributes.h"

#include "platform/web/HtmlNode.h"

ElementAttributes::ElementAttributes(const GumboNode &node)
{
    if (!HtmlNode::isElement(node))
        return;
    const GumboVector &attributes = node.v.element.attributes;
    for (unsigned int i = 0; i < attributes.length; ++i) {
        const auto &attribute = *static_cast<const GumboAttribute *>(attributes.data[i]);
        m_attributes.append({QString::fromUtf8(attribute.name), QString::fromUtf8(attribute.value)});
        m_textKept += m_attributes.back().first.size() + m_attributes.back().second.size();
    }
}

std::optional<QString> ElementAttributes::value(const QString &name) const
{
    for (const auto &[key, value] : m_attributes) {
        if (key == name)
            return value;
    }
    return std::nullopt;
}
