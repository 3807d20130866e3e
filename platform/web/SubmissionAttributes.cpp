// SPDX-License-Identifier: MIT
#include "platform/web/SubmissionAttributes.h"

#include "platform/web/HtmlNode.h"

#include <QByteArray>

SubmissionAttributes SubmissionAttributes::of(const GumboNode &element, const char *prefix)
{
    const auto read = [&element, prefix](const char *name) -> std::optional<QString> {
        const QByteArray attribute = QByteArray(prefix) + name;
        if (!HtmlNode::hasAttribute(element, attribute.constData()))
            return std::nullopt;
        return HtmlNode::attributeText(element, attribute.constData());
    };
    return {read("action"), read("method"), read("enctype")};
}
