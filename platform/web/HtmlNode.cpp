// SPDX-License-Identifier: MIT
#include "platform/web/HtmlNode.h"

#include <cstring>
#include <vector>

namespace HtmlNode {

namespace {

const GumboVector noChildren{nullptr, 0, 0};

const GumboNode &child(const GumboVector &vector, unsigned int i)
{
    return *static_cast<const GumboNode *>(vector.data[i]);
}

// Walks the document in order without recursion: hostile pages nest thousands deep. Template
// contents live outside the document, as in a browser's DOM, so the walk does not enter them.
template<typename Visit>
void walk(const GumboNode &root, Visit &&visit)
{
    std::vector<std::pair<const GumboNode *, unsigned int>> stack{{&root, 0}};
    while (!stack.empty()) {
        auto &[node, next] = stack.back();
        const GumboVector &kids = node->type == GUMBO_NODE_ELEMENT ? node->v.element.children : noChildren;
        if (next >= kids.length) {
            stack.pop_back();
            continue;
        }
        const GumboNode &kid = child(kids, next++);
        visit(kid);
        stack.emplace_back(&kid, 0);
    }
}

} // namespace

bool isElement(const GumboNode &node)
{
    return node.type == GUMBO_NODE_ELEMENT || node.type == GUMBO_NODE_TEMPLATE;
}

bool isHtml(const GumboNode &node, GumboTag tag)
{
    return isElement(node) && node.v.element.tag == tag && node.v.element.tag_namespace == GUMBO_NAMESPACE_HTML;
}

QByteArray qualifiedName(const GumboNode &node)
{
    const GumboElement &element = node.v.element;
    GumboStringPiece original = element.original_tag;
    gumbo_tag_from_original_text(&original);
    if (element.tag_namespace == GUMBO_NAMESPACE_SVG && original.length > 0) {
        if (const char *adjusted = gumbo_normalize_svg_tagname(&original))
            return QByteArray(adjusted);
    }
    if (element.tag != GUMBO_TAG_UNKNOWN || original.length == 0)
        return QByteArray(gumbo_normalized_tagname(element.tag));
    // The tokenizer lowercases ASCII only and turns NUL into U+FFFD; gumbo keeps just the raw
    // source text of an unknown tag, so the same is done here.
    QByteArray name;
    for (char c : QByteArrayView(original.data, qsizetype(original.length))) {
        if (c == '\0')
            name.append("\xEF\xBF\xBD");
        else
            name.append(c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c);
    }
    return name;
}

const char *attribute(const GumboNode &node, const char *name)
{
    if (!isElement(node))
        return nullptr;
    const GumboAttribute *found = gumbo_get_attribute(&node.v.element.attributes, name);
    return found ? found->value : nullptr;
}

bool hasAttribute(const GumboNode &node, const char *name)
{
    return attribute(node, name) != nullptr;
}

QString attributeText(const GumboNode &node, const char *name)
{
    return QString::fromUtf8(attribute(node, name));
}

QString textContent(const GumboNode &node)
{
    QByteArray text;
    walk(node, [&text](const GumboNode &kid) {
        if (kid.type == GUMBO_NODE_TEXT || kid.type == GUMBO_NODE_WHITESPACE || kid.type == GUMBO_NODE_CDATA)
            text.append(kid.v.text.text);
    });
    return QString::fromUtf8(text);
}

const GumboVector &children(const GumboNode &node)
{
    return isElement(node) ? node.v.element.children : noChildren;
}

void forEachElement(const GumboNode &root, const std::function<void(const GumboNode &)> &visit)
{
    walk(root, [&visit](const GumboNode &kid) {
        if (isElement(kid))
            visit(kid);
    });
}

} // namespace HtmlNode
